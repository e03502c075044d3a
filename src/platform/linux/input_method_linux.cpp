#include "platform/linux/input_method_linux.h"

#include <unordered_map>

#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"

namespace platform::x11 {
namespace {

struct InputMethod {
    bool tried = false;
    XIM method = nullptr;
    XIMStyle style = 0;
};

InputMethod inputMethod;
std::unordered_map<WindowHandle, XIC> contexts;

// The input method shows its own pre-edit and status windows (or none):
// the program draws nothing of them.
XIMStyle chooseStyle(XIM method) {
    XIMStyles* styles = nullptr;
    if (XGetIMValues(method, XNQueryInputStyle, &styles, nullptr) != nullptr || styles == nullptr)
        return 0;
    XIMStyle chosen = 0;
    for (const XIMStyle wanted : {XIMStyle{XIMPreeditNothing | XIMStatusNothing},
                                  XIMStyle{XIMPreeditNone | XIMStatusNone}}) {
        for (unsigned short i = 0; i < styles->count_styles && chosen == 0; ++i)
            if (styles->supported_styles[i] == wanted) chosen = wanted;
        if (chosen != 0) break;
    }
    XFree(styles);
    return chosen;
}

InputMethod& openedMethod() {
    if (inputMethod.tried) return inputMethod;
    inputMethod.tried = true;
    Display* connection = display();
    if (connection == nullptr || !XSupportsLocale()) return inputMethod;
    // The method named by XMODIFIERS; failing that, Xlib's own (compose
    // sequences and plain keys).
    XSetLocaleModifiers("");
    inputMethod.method = XOpenIM(connection, nullptr, nullptr, nullptr);
    if (inputMethod.method == nullptr) {
        XSetLocaleModifiers("@im=none");
        inputMethod.method = XOpenIM(connection, nullptr, nullptr, nullptr);
    }
    if (inputMethod.method != nullptr) inputMethod.style = chooseStyle(inputMethod.method);
    return inputMethod;
}

}  // namespace

XIC inputContextOf(WindowObject& topLevel) {
    auto found = contexts.find(topLevel.handle);
    if (found != contexts.end()) return found->second;
    const InputMethod& method = openedMethod();
    XIC context = nullptr;
    if (method.method != nullptr && method.style != 0) {
        context = XCreateIC(method.method, XNInputStyle, method.style, XNClientWindow,
                            topLevel.xwindow, XNFocusWindow, topLevel.xwindow, nullptr);
    }
    contexts.emplace(topLevel.handle, context);
    return context;
}

long inputMethodEvents(WindowObject& topLevel) {
    XIC context = inputContextOf(topLevel);
    long events = 0;
    if (context != nullptr && XGetICValues(context, XNFilterEvents, &events, nullptr) != nullptr)
        events = 0;
    return events;
}

void focusInputContext(WindowObject& topLevel, bool focused) {
    XIC context = inputContextOf(topLevel);
    if (context == nullptr) return;
    if (focused) {
        XSetICFocus(context);
    } else {
        XUnsetICFocus(context);
    }
}

void dropInputContext(WindowObject& topLevel) {
    auto found = contexts.find(topLevel.handle);
    if (found == contexts.end()) return;
    if (found->second != nullptr) XDestroyIC(found->second);
    contexts.erase(found);
}

void closeInputMethod() {
    for (auto& [handle, context] : contexts)
        if (context != nullptr) XDestroyIC(context);
    contexts.clear();
    if (inputMethod.method != nullptr) XCloseIM(inputMethod.method);
    inputMethod.method = nullptr;
}

}  // namespace platform::x11
