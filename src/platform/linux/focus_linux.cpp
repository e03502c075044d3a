#include "platform/linux/focus_linux.h"

#include "platform/linux/backend_messages_linux.h"
#include "platform/linux/message_queue_linux.h"

namespace platform::x11 {
namespace {

WindowHandle activeTopLevel = nullptr;

// The focus window shows its focus again (the caret), now or no longer.
void repaintFocus(WindowObject& topLevel) {
    if (WindowObject* focused = findWindow(topLevel.focus)) invalidateAll(*focused);
}

}  // namespace

void setFocus(WindowHandle window) {
    WindowObject* gaining = findWindow(window);
    if (gaining == nullptr || gaining->destroying) return;
    WindowObject& topLevel = topLevelOf(*gaining);
    const WindowHandle losing = topLevel.focus;
    if (losing == window) return;
    topLevel.focus = window;
    if (findWindow(losing) != nullptr) sendMessage(losing, WM_KILLFOCUS, 0, 0);
    if (findWindow(window) != nullptr) sendMessage(window, WM_SETFOCUS, 0, 0);
}

WindowHandle keyTarget(WindowObject& topLevel) {
    const WindowObject* focused = findWindow(topLevel.focus);
    return focused != nullptr && !focused->destroying ? topLevel.focus : topLevel.handle;
}

bool hasKeyboardFocus(WindowHandle window) {
    WindowObject* found = findWindow(window);
    if (found == nullptr) return false;
    WindowObject& topLevel = topLevelOf(*found);
    return topLevel.handle == activeTopLevel && keyTarget(topLevel) == window;
}

void noteActivation(WindowObject& topLevel, bool active) {
    if (active == (activeTopLevel == topLevel.handle)) return;
    if (active) {
        if (WindowObject* previous = findWindow(activeTopLevel)) repaintFocus(*previous);
        activeTopLevel = topLevel.handle;
    } else {
        activeTopLevel = nullptr;
    }
    repaintFocus(topLevel);
}

void forgetFocus(WindowObject& window) {
    if (activeTopLevel == window.handle) activeTopLevel = nullptr;
    if (WindowObject* parent = findWindow(window.parent)) {
        WindowObject& topLevel = topLevelOf(*parent);
        if (topLevel.focus == window.handle) topLevel.focus = nullptr;
    }
}

}  // namespace platform::x11
