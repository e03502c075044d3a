// An OpenGL context drawing into one X window through GLX: a legacy
// (compatibility) context, whose fixed-function pipeline is the one the
// device maps Direct3D 9's onto, on a configuration of the window's own
// visual (the window side makes its windows with the screen's default one).
#pragma once

#include <GL/glx.h>

#include <memory>

namespace platform::gl {

class WindowContext {
public:
    // Null when the window's visual has no double-buffered OpenGL
    // configuration, or no context with framebuffer objects (OpenGL 3.0, or
    // ARB_framebuffer_object) can be made current on it.
    static std::unique_ptr<WindowContext> create(Display* display, ::Window window);
    ~WindowContext();
    WindowContext(const WindowContext&) = delete;
    WindowContext& operator=(const WindowContext&) = delete;

    // Makes the context current on its window unless it is; false on failure.
    bool makeCurrent();
    // Draws into `window` from now on (the window side may hold a window in
    // another X window over time); false when the context cannot draw there.
    bool moveTo(::Window window);

    // Shows the back buffer: all of it, or only the rectangle given (OpenGL
    // window coordinates, from the bottom left) where the driver can copy a
    // part, so that the rest of the window is left as the window side drew it.
    void show(int x, int y, int width, int height, bool wholeWindow);

    Display* display() const { return display_; }
    ::Window window() const { return window_; }

private:
    WindowContext(Display* display, ::Window window, GLXContext context);
    void setSwapInterval();

    Display* display_;
    ::Window window_;
    GLXContext context_;
    void (*copySubBuffer_)(Display*, GLXDrawable, int, int, int, int) = nullptr;
};

}  // namespace platform::gl
