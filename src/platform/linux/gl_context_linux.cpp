#include "platform/linux/gl_context_linux.h"

#include <GL/gl.h>

#include <cstdio>
#include <string_view>

#include "platform/linux/gl_x_errors_linux.h"

namespace platform::gl {
namespace {

// The context made current last, and on which window (makeCurrent).
const WindowContext* current = nullptr;
::Window currentWindow = None;

// The X visual and screen a window was made with.
struct WindowVisual {
    VisualID visual = 0;
    int screen = 0;
};

bool visualOf(Display* display, ::Window window, WindowVisual& out) {
    XWindowAttributes attributes{};
    XErrorTrap trap(display, window);
    if (XGetWindowAttributes(display, window, &attributes) == 0 || trap.failed()) return false;
    out.visual = XVisualIDFromVisual(attributes.visual);
    out.screen = XScreenNumberOfScreen(attributes.screen);
    return true;
}

int attributeOf(Display* display, GLXFBConfig config, int attribute) {
    int value = 0;
    glXGetFBConfigAttrib(display, config, attribute, &value);
    return value;
}

// The configuration of the window's visual that draws RGBA into windows,
// double-buffered, with the fewest extras (depth, stencil, samples: the
// device draws into a framebuffer object of its own); null for none.
GLXFBConfig configFor(Display* display, const WindowVisual& visual) {
    int count = 0;
    GLXFBConfig* configs = glXGetFBConfigs(display, visual.screen, &count);
    if (configs == nullptr) return nullptr;
    GLXFBConfig best = nullptr;
    int bestExtras = 0;
    for (int i = 0; i < count; ++i) {
        const GLXFBConfig config = configs[i];
        if (static_cast<VisualID>(attributeOf(display, config, GLX_VISUAL_ID)) != visual.visual ||
            (attributeOf(display, config, GLX_DRAWABLE_TYPE) & GLX_WINDOW_BIT) == 0 ||
            (attributeOf(display, config, GLX_RENDER_TYPE) & GLX_RGBA_BIT) == 0 ||
            !attributeOf(display, config, GLX_DOUBLEBUFFER))
            continue;
        const int extras = attributeOf(display, config, GLX_DEPTH_SIZE) +
                           attributeOf(display, config, GLX_STENCIL_SIZE) +
                           attributeOf(display, config, GLX_SAMPLES);
        if (best == nullptr || extras < bestExtras) {
            best = config;
            bestExtras = extras;
        }
    }
    XFree(configs);
    return best;
}

bool hasExtension(const char* list, std::string_view name) {
    if (list == nullptr) return false;
    for (std::string_view rest(list); !rest.empty();) {
        const size_t end = rest.find(' ');
        if (rest.substr(0, end) == name) return true;
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return false;
}

template <class Function>
Function procedure(const char* name) {
    return reinterpret_cast<Function>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

// Framebuffer objects with blits: OpenGL 3.0, or the extension.
bool hasFramebufferObjects() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0;
    if (version == nullptr || std::sscanf(version, "%d", &major) != 1) return false;
    return major >= 3 || hasExtension(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)),
                                      "GL_ARB_framebuffer_object");
}

}  // namespace

std::unique_ptr<WindowContext> WindowContext::create(Display* display, ::Window window) {
    WindowVisual visual;
    if (display == nullptr || window == None || !visualOf(display, window, visual)) return nullptr;
    const GLXFBConfig config = configFor(display, visual);
    if (config == nullptr) return nullptr;
    GLXContext context = nullptr;
    {
        XErrorTrap trap(display, None);
        context = glXCreateNewContext(display, config, GLX_RGBA_TYPE, nullptr, True);
        if (trap.failed() && context != nullptr) {
            glXDestroyContext(display, context);
            context = nullptr;
        }
    }
    if (context == nullptr) return nullptr;
    std::unique_ptr<WindowContext> created(new WindowContext(display, window, context));
    if (!created->makeCurrent() || !hasFramebufferObjects()) return nullptr;
    const char* extensions = glXQueryExtensionsString(display, visual.screen);
    if (hasExtension(extensions, "GLX_MESA_copy_sub_buffer")) {
        created->copySubBuffer_ =
            procedure<void (*)(Display*, GLXDrawable, int, int, int, int)>("glXCopySubBufferMESA");
    }
    created->setSwapInterval();
    return created;
}

WindowContext::WindowContext(Display* display, ::Window window, GLXContext context)
    : display_(display), window_(window), context_(context) {}

WindowContext::~WindowContext() {
    XErrorTrap trap(display_, None);
    if (glXGetCurrentContext() == context_) glXMakeCurrent(display_, None, nullptr);
    if (current == this) current = nullptr;
    glXDestroyContext(display_, context_);
}

// Every draw and texture asks for the context: the record of what this file
// made current answers without a call into GLX, which asks the system for
// the process id on every call (a fork check). Only this file makes a
// context current, on the one thread that draws.
bool WindowContext::makeCurrent() {
    if (current == this && currentWindow == window_) return true;
    XErrorTrap trap(display_, None);
    const bool made = glXMakeCurrent(display_, window_, context_) && !trap.failed();
    current = made ? this : nullptr;
    currentWindow = window_;
    return made;
}

bool WindowContext::moveTo(::Window window) {
    if (window == window_) return true;
    const ::Window before = window_;
    window_ = window;
    if (makeCurrent()) {
        setSwapInterval();
        return true;
    }
    window_ = before;
    makeCurrent();
    return false;
}

// One frame per refresh, where the driver offers a way to ask for it.
void WindowContext::setSwapInterval() {
    int screen = DefaultScreen(display_);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window_, &attributes) != 0)
        screen = XScreenNumberOfScreen(attributes.screen);
    const char* extensions = glXQueryExtensionsString(display_, screen);
    if (hasExtension(extensions, "GLX_EXT_swap_control")) {
        if (auto set = procedure<void (*)(Display*, GLXDrawable, int)>("glXSwapIntervalEXT")) {
            set(display_, window_, 1);
            return;
        }
    }
    if (hasExtension(extensions, "GLX_MESA_swap_control")) {
        if (auto set = procedure<int (*)(unsigned)>("glXSwapIntervalMESA")) {
            set(1);
            return;
        }
    }
    if (hasExtension(extensions, "GLX_SGI_swap_control")) {
        if (auto set = procedure<int (*)(int)>("glXSwapIntervalSGI")) set(1);
    }
}

void WindowContext::show(int x, int y, int width, int height, bool wholeWindow) {
    if (!wholeWindow && copySubBuffer_ != nullptr) {
        copySubBuffer_(display_, window_, x, y, width, height);
        return;
    }
    glXSwapBuffers(display_, window_);
}

}  // namespace platform::gl
