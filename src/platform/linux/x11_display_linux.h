// What the window side keeps about the X connection: the atoms it uses, the
// server time of the last event (selection requests and grabs want one), the
// extensions it listens to, and the events it must not lose while a modal
// loop waits for one kind of event.
#pragma once

#include <X11/Xlib.h>

#include <vector>

namespace platform::x11 {

// The one connection to the X server, opened on first use (from $DISPLAY);
// null when no X server can be reached.
Display* display();

// Called by the window side when the screen's layout changes (the root
// window's size, monitors coming or going): what the screen side keeps of
// the layout is read again.
void displayChanged();

struct Atoms {
    Atom wmProtocols;
    Atom wmDeleteWindow;
    Atom wmState;
    Atom motifWmHints;
    Atom netWmState;
    Atom netWmStateAbove;
    Atom netWmStateHidden;
    Atom netWmName;
    Atom netWmPid;
    Atom netWmWindowType;
    Atom netWmWindowTypeNormal;
    Atom netWmWindowTypeDialog;
    Atom netWmWindowTypeUtility;
    Atom netWmMoveResize;
    Atom netSupported;
    Atom netSupportingWmCheck;
    Atom utf8String;
    Atom clipboard;
    Atom pasteProperty;
    Atom incr;
};

// The atoms, interned when the connection was opened.
const Atoms& atoms();

// The server time of the last event that carried one (CurrentTime before any).
Time lastEventTime();
void noteEventTime(const XEvent& event);

// The first event codes of the extensions the window side listens to; -1
// where the server lacks the extension.
struct ExtensionEvents {
    int randr = -1;
    int xkb = -1;
    bool shape = false;
};
const ExtensionEvents& extensionEvents();

// The 32-bit items (Xlib hands them out as longs) of a window's property of
// type `type`, at most `maxItems`; none where the window lacks it.
std::vector<long> propertyItems(::Window window, Atom property, Atom type, long maxItems);

// Waits until the connection has something to read or `milliseconds` pass
// (negative: no limit). True when there is something to read.
bool waitForConnection(int milliseconds);

}  // namespace platform::x11
