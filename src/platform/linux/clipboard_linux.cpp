#include "platform/linux/clipboard_linux.h"

#include <X11/Xatom.h>

#include <climits>

#include "platform/linux/unicode_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/linux/x11_windows.h"
#include "platform/window_system.h"

namespace platform::x11 {
namespace {

constexpr uint64_t kAnswerMicroseconds = 1000000;
constexpr int kPollMilliseconds = 20;

// Asks the selection's owner for the selection as `target` and waits for
// the answer: the property it was written to, or None.
Atom convertSelection(Display* connection, ::Window requestor, Atom target) {
    const Atoms& names = atoms();
    XDeleteProperty(connection, requestor, names.pasteProperty);
    XConvertSelection(connection, names.clipboard, target, names.pasteProperty, requestor,
                      lastEventTime());
    const uint64_t deadline = monotonicMicroseconds() + kAnswerMicroseconds;
    while (monotonicMicroseconds() < deadline) {
        XEvent event{};
        if (XCheckTypedWindowEvent(connection, requestor, SelectionNotify, &event)) {
            if (event.xselection.selection == names.clipboard) return event.xselection.property;
            continue;
        }
        waitForConnection(kPollMilliseconds);
    }
    return None;
}

// The property's content, deleted as it is read (which tells the owner it
// was taken); nothing for an incremental transfer, which a pasted line
// never needs.
std::optional<std::string> takeProperty(Display* connection, ::Window requestor, Atom property,
                                        Atom& type) {
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(connection, requestor, property, 0, LONG_MAX / 4, True, AnyPropertyType,
                           &type, &format, &count, &remaining, &data) != Success)
        return std::nullopt;
    std::optional<std::string> text;
    if (data != nullptr && format == 8 && type != atoms().incr)
        text.emplace(reinterpret_cast<const char*>(data), count);
    if (data != nullptr) XFree(data);
    return text;
}

}  // namespace

std::optional<std::string> clipboardText(::Window requestor) {
    Display* connection = display();
    if (connection == nullptr) return std::nullopt;
    Atom type = None;
    Atom property = convertSelection(connection, requestor, atoms().utf8String);
    if (property != None) {
        auto text = takeProperty(connection, requestor, property, type);
        if (text && type == atoms().utf8String) return text;
    }
    // An owner without UTF-8 may still offer Latin-1.
    property = convertSelection(connection, requestor, XA_STRING);
    if (property == None) return std::nullopt;
    auto text = takeProperty(connection, requestor, property, type);
    if (!text || type != XA_STRING) return std::nullopt;
    return utf8Of(codePointsOfLatin1(*text));
}

}  // namespace platform::x11
