// X errors about the graphics side's own window, caught instead of ending the
// program: a window destroyed under the device shows as a failed present.
#pragma once

#include <X11/Xlib.h>

namespace platform::gl {

// While it lives, errors about `resource` (the device's window; None: any
// error) are counted; every other error goes on to the handler that was there
// before. Errors of requests made while it lives are all in when it ends (it
// waits for them).
class XErrorTrap {
public:
    XErrorTrap(Display* display, XID resource);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    // Whether an error about the resource came in so far (waits for the
    // server to have handled every request made until now).
    bool failed();

private:
    static int handle(Display* display, XErrorEvent* error);

    Display* display_;
    XID resource_;
    int errors_ = 0;
    XErrorTrap* outer_;
    int (*previous_)(Display*, XErrorEvent*);
};

}  // namespace platform::gl
