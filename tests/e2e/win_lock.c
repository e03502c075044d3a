/* Holds a file open with no sharing, as another program that locks it
 * would, from inside the same Wine prefix as the program under test (the
 * Wine server enforces sharing between the prefix's processes).
 *
 *   win_lock.exe FILE STOPFILE
 *
 * FILE is opened for reading with share mode 0, tried again for up to 10 s
 * while the program under test holds it (it rewrites the file many times a
 * second); then "locked" is printed and
 * the file stays open until STOPFILE exists (or after 120 s). Names are
 * taken from the wide command line, so Japanese names pass unchanged.
 * Exit code 0 after a lock, 1 on bad arguments, 2 when the open fails. */
#include <stdio.h>
#include <windows.h>

int main(void) {
  int argc = 0;
  LPWSTR *argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == NULL || argc != 3) {
    fprintf(stderr, "usage: win_lock.exe FILE STOPFILE\n");
    return 1;
  }
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int tries = 0; tries < 2000 && file == INVALID_HANDLE_VALUE; tries++) {
    file = CreateFileW(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE &&
        GetLastError() != ERROR_SHARING_VIOLATION)
      break;
    if (file == INVALID_HANDLE_VALUE) Sleep(5);
  }
  if (file == INVALID_HANDLE_VALUE) {
    printf("error %lu\n", GetLastError());
    fflush(stdout);
    return 2;
  }
  printf("locked\n");
  fflush(stdout);
  for (int i = 0; i < 1200; i++) {
    if (GetFileAttributesW(argv[2]) != INVALID_FILE_ATTRIBUTES) break;
    Sleep(100);
  }
  CloseHandle(file);
  return 0;
}
