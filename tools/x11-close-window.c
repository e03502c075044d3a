/* Asks an X window to close the way a window manager does: a WM_PROTOCOLS
 * client message carrying WM_DELETE_WINDOW. Wine turns it into WM_CLOSE for
 * the window procedure.
 *
 *   cc -o x11-close-window tools/x11-close-window.c -lX11
 *   x11-close-window WINDOW_ID     (decimal or 0x hex, as xdotool prints it)
 *
 * Exit code 0 when the message was sent, 1 on a bad argument, 2 when the
 * display cannot be opened, 3 when the X server refused the request (for
 * example a window that no longer exists). */
#include <X11/Xlib.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int xFailed = 0;

static int onXError(Display *display, XErrorEvent *error) {
  (void)display;
  (void)error;
  xFailed = 1;
  return 0;
}

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s WINDOW_ID\n", argv[0]);
    return 1;
  }
  char *end = NULL;
  errno = 0;
  unsigned long id = strtoul(argv[1], &end, 0);
  if (errno != 0 || end == argv[1] || *end != '\0' || id == 0) {
    fprintf(stderr, "%s: not a window id: %s\n", argv[0], argv[1]);
    return 1;
  }
  Display *display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "%s: cannot open display\n", argv[0]);
    return 2;
  }
  XSetErrorHandler(onXError);
  XEvent event;
  memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = (Window)id;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, (Window)id, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  if (xFailed) {
    fprintf(stderr, "%s: the X server refused the close request for %s\n", argv[0], argv[1]);
    return 3;
  }
  return 0;
}
