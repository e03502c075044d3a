/* Moves (and, given a size, resizes) a top-level window from inside the same
 * Wine prefix as the program under test, as the arrow keys or a drag by its
 * frame would, to places the pointer cannot reach (far past the screen's
 * edges) or sizes the frame cannot be dragged to without a window manager.
 *
 *   win_move.exe CLASS TITLE X Y [WIDTH HEIGHT]
 *
 * Prints the window rectangle afterwards ("L T R B"). Exit code 0 when the
 * window exists, 1 on bad arguments, 2 when it is missing. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int main(int argc, char **argv) {
  if (argc != 5 && argc != 7) {
    fprintf(stderr, "usage: win_move.exe CLASS TITLE X Y [WIDTH HEIGHT]\n");
    return 1;
  }
  HWND window = FindWindowA(argv[1], argv[2]);
  if (window == NULL) {
    printf("none\n");
    return 2;
  }
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  int width = 0, height = 0;
  if (argc == 7) {
    width = atoi(argv[5]);
    height = atoi(argv[6]);
  } else {
    flags |= SWP_NOSIZE;
  }
  SetWindowPos(window, NULL, atoi(argv[3]), atoi(argv[4]), width, height, flags);
  RECT rect;
  GetWindowRect(window, &rect);
  printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
  return 0;
}
