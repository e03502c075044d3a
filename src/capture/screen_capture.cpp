#include "capture/screen_capture.h"

// Stand-in until the capture is built.
void captureScreen() {}
