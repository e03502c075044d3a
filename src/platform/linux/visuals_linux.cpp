#include "platform/linux/visuals_linux.h"

#include <X11/Xutil.h>
#include <X11/extensions/Xrender.h>

#include <optional>

#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"

namespace platform::x11 {
namespace {

constexpr unsigned long kOpaqueAlpha = 0xFF000000;

// 8 bits each of alpha, red, green and blue, from the top: our own pixel
// layout with the alpha byte above it.
bool isEightBitArgb(const XRenderPictFormat& format) {
    const XRenderDirectFormat& direct = format.direct;
    return format.type == PictTypeDirect && format.depth == 32 && direct.alphaMask == 0xFF &&
           direct.alpha == 24 && direct.redMask == 0xFF && direct.red == 16 &&
           direct.greenMask == 0xFF && direct.green == 8 && direct.blueMask == 0xFF &&
           direct.blue == 0;
}

std::optional<WindowVisual> findAlphaVisual(Display* connection) {
    int base = 0;
    int error = 0;
    if (connection == nullptr || !XRenderQueryExtension(connection, &base, &error))
        return std::nullopt;
    XVisualInfo wanted{};
    wanted.screen = DefaultScreen(connection);
    wanted.depth = 32;
    wanted.c_class = TrueColor;
    int count = 0;
    XVisualInfo* found = XGetVisualInfo(
        connection, VisualScreenMask | VisualDepthMask | VisualClassMask, &wanted, &count);
    std::optional<WindowVisual> chosen;
    for (int i = 0; i < count && !chosen; ++i) {
        const XRenderPictFormat* format = XRenderFindVisualFormat(connection, found[i].visual);
        if (format == nullptr || !isEightBitArgb(*format)) continue;
        chosen = WindowVisual{
            found[i].visual, 32,
            XCreateColormap(connection, DefaultRootWindow(connection), found[i].visual, AllocNone),
            kOpaqueAlpha};
    }
    if (found != nullptr) XFree(found);
    return chosen;
}

}  // namespace

const WindowVisual& screenVisual() {
    static const WindowVisual visual = [] {
        Display* connection = display();
        if (connection == nullptr) return WindowVisual{};
        const int screen = DefaultScreen(connection);
        return WindowVisual{DefaultVisual(connection, screen), DefaultDepth(connection, screen),
                            DefaultColormap(connection, screen), 0};
    }();
    return visual;
}

const WindowVisual* alphaVisual() {
    static const std::optional<WindowVisual> visual = findAlphaVisual(display());
    return visual ? &*visual : nullptr;
}

const WindowVisual& visualFor(const WindowObject& window) {
    const WindowVisual* alpha = alphaVisual();
    return alpha != nullptr && isTopLevel(window) && !window.framedByManager ? *alpha
                                                                             : screenVisual();
}

const WindowVisual& visualOf(::Drawable drawable) {
    const WindowObject* window = windowOfX(drawable);
    return window != nullptr && window->withAlpha && alphaVisual() != nullptr ? *alphaVisual()
                                                                              : screenVisual();
}

}  // namespace platform::x11
