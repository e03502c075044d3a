// The process entry of the Windows program.
#include "app/application.h"
#include "platform/win32/native_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { runApplication(); }
