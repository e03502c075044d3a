#include "platform/linux/clipboard_linux.h"

#include <X11/Xatom.h>

#include <climits>

#include "platform/linux/unicode_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/window_system.h"

namespace platform::x11 {
namespace {

constexpr uint64_t kAnswerMicroseconds = 1000000;
constexpr int kPollMilliseconds = 20;

// The targets we answer besides UTF8_STRING and STRING, interned on first use.
struct TargetAtoms {
    Atom targets;
    Atom text;
    Atom plainUtf8;  // text/plain;charset=utf-8, as some toolkits ask
    Atom timestamp;
};

const TargetAtoms& targetAtoms(Display* connection) {
    static const TargetAtoms interned = [connection] {
        const char* names[] = {"TARGETS", "TEXT", "text/plain;charset=utf-8", "TIMESTAMP"};
        Atom values[4] = {};
        XInternAtoms(connection, const_cast<char**>(names), 4, False, values);
        return TargetAtoms{values[0], values[1], values[2], values[3]};
    }();
    return interned;
}

// What we hold of a selection we own.
struct Held {
    ::Window owner = None;
    Time since = CurrentTime;
    std::string utf8;
    std::function<void()> lost;
};
Held held[2];

Held& heldOf(Selection which) { return held[which == Selection::primary ? 1 : 0]; }

Atom atomOf(Selection which) {
    return which == Selection::primary ? XA_PRIMARY : atoms().clipboard;
}

Held* heldFor(Atom selection) {
    if (selection == XA_PRIMARY) return &heldOf(Selection::primary);
    if (selection == atoms().clipboard) return &heldOf(Selection::clipboard);
    return nullptr;
}

// Asks the selection's owner for it as `target` and waits for the answer:
// the property it was written to, or None.
Atom convertSelection(Display* connection, Atom selection, ::Window requestor, Atom target) {
    const Atoms& names = atoms();
    XDeleteProperty(connection, requestor, names.pasteProperty);
    XConvertSelection(connection, selection, target, names.pasteProperty, requestor,
                      lastEventTime());
    const uint64_t deadline = monotonicMicroseconds() + kAnswerMicroseconds;
    while (monotonicMicroseconds() < deadline) {
        XEvent event{};
        if (XCheckTypedWindowEvent(connection, requestor, SelectionNotify, &event)) {
            if (event.xselection.selection == selection) return event.xselection.property;
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

// Latin-1 (X's STRING) for text that holds only its characters.
std::optional<std::string> latin1Of(std::string_view utf8) {
    std::string out;
    for (char32_t character : codePointsOf(utf8)) {
        if (character > 0xFF) return std::nullopt;
        out.push_back(static_cast<char>(character));
    }
    return out;
}

void putText(Display* connection, const XSelectionRequestEvent& request, Atom property, Atom type,
             const std::string& bytes) {
    XChangeProperty(connection, request.requestor, property, type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(bytes.data()),
                    static_cast<int>(bytes.size()));
}

// Writes the selection as the request's target to its property; false for a
// target we cannot give.
bool convertFor(Display* connection, const XSelectionRequestEvent& request, const Held& text,
                Atom property) {
    const TargetAtoms& names = targetAtoms(connection);
    const Atom utf8 = atoms().utf8String;
    if (request.target == names.targets) {
        const Atom offered[] = {names.targets,   names.timestamp, utf8,
                                names.plainUtf8, names.text,      XA_STRING};
        XChangeProperty(connection, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(offered), 6);
    } else if (request.target == names.timestamp) {
        const long since = static_cast<long>(text.since);
        XChangeProperty(connection, request.requestor, property, XA_INTEGER, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&since), 1);
    } else if (request.target == utf8 || request.target == names.text) {
        putText(connection, request, property, utf8, text.utf8);
    } else if (request.target == names.plainUtf8) {
        putText(connection, request, property, names.plainUtf8, text.utf8);
    } else if (request.target == XA_STRING) {
        const std::optional<std::string> latin1 = latin1Of(text.utf8);
        if (!latin1) return false;
        putText(connection, request, property, XA_STRING, *latin1);
    } else {
        return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> selectionText(Selection which, ::Window requestor) {
    Display* connection = display();
    if (connection == nullptr) return std::nullopt;
    const Atom selection = atomOf(which);
    const Held& ours = heldOf(which);
    if (ours.owner != None && XGetSelectionOwner(connection, selection) == ours.owner)
        return ours.utf8;
    Atom type = None;
    Atom property = convertSelection(connection, selection, requestor, atoms().utf8String);
    if (property != None) {
        auto text = takeProperty(connection, requestor, property, type);
        if (text && type == atoms().utf8String) return text;
    }
    // An owner without UTF-8 may still offer Latin-1.
    property = convertSelection(connection, selection, requestor, XA_STRING);
    if (property == None) return std::nullopt;
    auto text = takeProperty(connection, requestor, property, type);
    if (!text || type != XA_STRING) return std::nullopt;
    return utf8Of(codePointsOfLatin1(*text));
}

void offerSelection(Selection which, ::Window owner, std::string utf8, std::function<void()> lost) {
    Display* connection = display();
    if (connection == nullptr || owner == None) return;
    Held& ours = heldOf(which);
    const Atom selection = atomOf(which);
    if (ours.owner != owner) {
        const Time now = lastEventTime();
        XSetSelectionOwner(connection, selection, owner, now);
        if (XGetSelectionOwner(connection, selection) != owner) {
            ours = {};
            return;
        }
        ours.owner = owner;
        ours.since = now;
    }
    ours.utf8 = std::move(utf8);
    ours.lost = std::move(lost);
}

void withdrawSelection(Selection which, ::Window owner) {
    Display* connection = display();
    Held& ours = heldOf(which);
    if (connection == nullptr || owner == None || ours.owner != owner) return;
    if (XGetSelectionOwner(connection, atomOf(which)) == owner)
        XSetSelectionOwner(connection, atomOf(which), None, lastEventTime());
    ours = {};
}

// Answered as ICCCM asks: the text in the named property (the target's name
// for an old requestor that names none), or a refusal with None.
void answerSelectionRequest(const XSelectionRequestEvent& request) {
    Display* connection = display();
    if (connection == nullptr) return;
    const Held* ours = heldFor(request.selection);
    const Atom property = request.property != None ? request.property : request.target;
    const bool current = ours != nullptr && ours->owner == request.owner &&
                         (request.time == CurrentTime || request.time >= ours->since);
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property =
        current && convertFor(connection, request, *ours, property) ? property : None;
    XSendEvent(connection, request.requestor, False, NoEventMask, &reply);
    XFlush(connection);
}

void noteSelectionCleared(const XSelectionClearEvent& event) {
    Held* ours = heldFor(event.selection);
    if (ours == nullptr || ours->owner != event.window) return;
    std::function<void()> lost = std::move(ours->lost);
    *ours = {};
    if (lost) lost();
}

}  // namespace platform::x11
