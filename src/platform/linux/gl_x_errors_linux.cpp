#include "platform/linux/gl_x_errors_linux.h"

namespace platform::gl {
namespace {

XErrorTrap* innermost = nullptr;

}  // namespace

XErrorTrap::XErrorTrap(Display* display, XID resource)
    : display_(display), resource_(resource), outer_(innermost) {
    innermost = this;
    previous_ = XSetErrorHandler(&XErrorTrap::handle);
}

XErrorTrap::~XErrorTrap() {
    // Nothing to wait for when the server has answered every request.
    if (NextRequest(display_) - 1 != LastKnownRequestProcessed(display_)) XSync(display_, False);
    XSetErrorHandler(previous_);
    innermost = outer_;
}

bool XErrorTrap::failed() {
    XSync(display_, False);
    return errors_ != 0;
}

int XErrorTrap::handle(Display* display, XErrorEvent* error) {
    for (XErrorTrap* trap = innermost; trap != nullptr; trap = trap->outer_) {
        if (trap->display_ == display &&
            (trap->resource_ == None || error->resourceid == trap->resource_)) {
            ++trap->errors_;
            return 0;
        }
    }
    XErrorTrap* outermost = innermost;
    while (outermost != nullptr && outermost->outer_ != nullptr) outermost = outermost->outer_;
    return outermost != nullptr && outermost->previous_ != nullptr
               ? outermost->previous_(display, error)
               : 0;
}

}  // namespace platform::gl
