/* Puts a top-level window at the top of the ordinary (non-topmost) windows,
 * as activating it would, from inside the same Wine prefix as the program
 * under test; then reports which of the two named windows lies higher.
 *
 *   win_raise.exe CLASS TITLE OTHER_CLASS OTHER_TITLE
 *
 * Prints "above" when the other window is still above the raised one,
 * "below" otherwise. Exit code 0 when both exist, 1 on bad arguments, 2 when
 * a window is missing. */
#include <stdio.h>
#include <windows.h>

int main(int argc, char **argv) {
  if (argc != 5) {
    fprintf(stderr, "usage: win_raise.exe CLASS TITLE OTHER_CLASS OTHER_TITLE\n");
    return 1;
  }
  HWND window = FindWindowA(argv[1], argv[2]);
  HWND other = FindWindowA(argv[3], argv[4]);
  if (window == NULL || other == NULL) {
    printf("none\n");
    return 2;
  }
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  /* Walk the z-order from the top: whichever comes first lies higher. */
  for (HWND at = GetTopWindow(NULL); at != NULL; at = GetWindow(at, GW_HWNDNEXT)) {
    if (at == other) {
      printf("above\n");
      return 0;
    }
    if (at == window) {
      printf("below\n");
      return 0;
    }
  }
  printf("none\n");
  return 2;
}
