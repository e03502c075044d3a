#include "controls/keyboard.h"

// Stand-in until the keyboard pass is built.
void pollControls() {}
