/* Reports a top-level window as Windows itself sees it, from inside the same
 * Wine prefix as the program under test.
 *
 *   win_query.exe CLASS TITLE
 *
 * Prints one line
 *   outer L T R B client L T R B visible V
 * with the GetWindowRect rectangle, the client rectangle in screen
 * coordinates, and IsWindowVisible. Exit code 0 when found, 1 on bad
 * arguments, 2 when no such window exists. */
#include <stdio.h>
#include <windows.h>

int main(int argc, char **argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: win_query.exe CLASS TITLE\n");
    return 1;
  }
  HWND window = FindWindowA(argv[1], argv[2]);
  if (window == NULL) {
    printf("none\n");
    return 2;
  }
  RECT outer;
  RECT client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  printf("outer %ld %ld %ld %ld client %ld %ld %ld %ld visible %d\n", outer.left, outer.top,
         outer.right, outer.bottom, origin.x, origin.y, origin.x + client.right,
         origin.y + client.bottom, IsWindowVisible(window) ? 1 : 0);
  fflush(stdout);
  return 0;
}
