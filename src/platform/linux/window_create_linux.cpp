// Window classes, and windows made and taken down: the X window of each, the
// properties a window manager reads, WM_CREATE inside CreateWindowEx and
// WM_DESTROY inside DestroyWindow; the default procedure; the dialog-item
// helpers.
#include <X11/cursorfont.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/linux/controls_linux.h"
#include "platform/linux/focus_linux.h"
#include "platform/linux/gdi_objects_linux.h"
#include "platform/linux/input_method_linux.h"
#include "platform/linux/message_queue_linux.h"
#include "platform/linux/pixels_linux.h"
#include "platform/linux/text_linux.h"
#include "platform/linux/unsupported_linux.h"
#include "platform/linux/window_manager_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/text.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace platform {
namespace x11 {
namespace {

constexpr int32_t kUseDefault = static_cast<int32_t>(0x80000000);  // CW_USEDEFAULT
// Where an overlapped window asked to be put "anywhere" goes, and its size
// when that too is left open.
constexpr Point kDefaultPlace{26, 26};
constexpr Point kDefaultSize{640, 480};

struct ClassRecord {
    std::string name;
    WindowProc procedure = nullptr;
    GdiObject background = nullptr;
    uint32_t style = 0;
};

uint16_t nextAtom = 0xC000;
std::vector<std::pair<uint16_t, ClassRecord>> classes;

const ClassRecord* findClass(const char* name) {
    for (const auto& [atom, record] : classes)
        if (equalsIgnoringAsciiCase(record.name, name)) return &record;
    return nullptr;
}

uint16_t addClass(ClassRecord record) {
    const uint16_t atom = nextAtom++;
    classes.emplace_back(atom, std::move(record));
    return atom;
}

// The system's own classes, there before the program registers any.
void ensureSystemClasses() {
    static const bool registered = [] {
        addClass({"BUTTON", buttonProcedure, nullptr, CS_DBLCLKS});
        addClass({"EDIT", editProcedure, nullptr, CS_DBLCLKS});
        return true;
    }();
    (void)registered;
}

Rect initialPlace(uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height) {
    const bool overlapped = (style & (WS_CHILD | WS_POPUP)) == 0;
    if (x == kUseDefault) {
        x = overlapped ? kDefaultPlace.x : 0;
        y = overlapped ? kDefaultPlace.y : 0;
    }
    if (width == kUseDefault) {
        width = overlapped ? kDefaultSize.x : 0;
        height = overlapped ? kDefaultSize.y : 0;
    }
    return {x, y, x + width, y + height};
}

unsigned long eventsOf(const WindowObject& window) {
    unsigned long events = ExposureMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
    if (!isTopLevel(window)) return events | ButtonMotionMask;  // controls follow a held button
    return events | KeyPressMask | KeyReleaseMask | FocusChangeMask | KeymapStateMask |
           PropertyChangeMask;
}

// Made once for each shape, kept for the connection's life.
Cursor cursorOf(unsigned int shape) {
    static std::vector<std::pair<unsigned int, Cursor>> made;
    for (const auto& [madeShape, cursor] : made)
        if (madeShape == shape) return cursor;
    const Cursor cursor = XCreateFontCursor(display(), shape);
    made.emplace_back(shape, cursor);
    return cursor;
}

bool createXWindow(WindowObject& window) {
    Display* connection = display();
    const int screen = DefaultScreen(connection);
    const WindowObject* parent = findWindow(window.parent);
    const ::Window xparent = parent != nullptr ? parent->xwindow : RootWindow(connection, screen);
    const Rect rect = xRectOf(window);
    // A visual other than the parent's needs its own colour map and border.
    const WindowVisual& visual = visualFor(window);
    window.withAlpha = visual.opaque != 0;
    XSetWindowAttributes attributes{};
    unsigned long mask = CWEventMask | CWBitGravity | CWColormap | CWBorderPixel;
    attributes.event_mask = static_cast<long>(eventsOf(window));
    attributes.bit_gravity = NorthWestGravity;
    attributes.colormap = visual.colormap;
    attributes.border_pixel = 0;
    // The class brush erases at once, before the window's own painting.
    if (const auto* brush = gdiObjectAs<BrushObject>(window.background)) {
        attributes.background_pixel = xPixelOf(visual, brush->colour);
        mask |= CWBackPixel;
    } else {
        attributes.background_pixmap = None;
        mask |= CWBackPixmap;
    }
    const bool edit = equalsIgnoringAsciiCase(window.className, "EDIT");
    if (parent == nullptr || edit) {
        attributes.cursor = cursorOf(edit ? XC_xterm : XC_left_ptr);
        mask |= CWCursor;
    }
    const ::Window xwindow =
        XCreateWindow(connection, xparent, rect.left, rect.top,
                      static_cast<unsigned>(std::max(rect.right - rect.left, 1)),
                      static_cast<unsigned>(std::max(rect.bottom - rect.top, 1)), 0, visual.depth,
                      InputOutput, visual.visual, mask, &attributes);
    if (xwindow == None) return false;
    bindXWindow(window, xwindow);
    window.asked = window.place;
    if (parent == nullptr) {
        describeToManager(window);
        // The input method may want events of its own.
        XSelectInput(connection, xwindow,
                     static_cast<long>(eventsOf(window)) | inputMethodEvents(window));
    }
    return true;
}

void destroyTree(WindowHandle handle);

// Windows' order: the window hears WM_DESTROY first, then its children,
// and the children go before it.
void destroyTree(WindowHandle handle) {
    WindowObject* window = findWindow(handle);
    if (window == nullptr) return;
    window->destroying = true;
    sendMessage(handle, WM_DESTROY, 0, 0);
    window = findWindow(handle);
    if (window == nullptr) return;
    const std::vector<WindowHandle> children = window->children;
    for (WindowHandle child : children) destroyTree(child);
    window = findWindow(handle);
    if (window == nullptr) return;
    forgetFocus(*window);
    if (WindowObject* parent = findWindow(window->parent)) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
    } else {
        dropInputContext(*window);
    }
    if (window->xwindow != None) XDestroyWindow(display(), window->xwindow);
    removeWindow(handle);
}

}  // namespace
}  // namespace x11

uint16_t RegisterClassExA(const WindowClass* windowClass) {
    x11::ensureSystemClasses();
    if (windowClass == nullptr || windowClass->className == nullptr ||
        x11::findClass(windowClass->className) != nullptr)
        return 0;
    x11::supportedOrReported(onlyListedFlags(kListedClassStyles, windowClass->style),
                             "RegisterClassExA", "class style", windowClass->style);
    return x11::addClass({windowClass->className, windowClass->procedure, windowClass->background,
                          windowClass->style});
}

WindowHandle CreateWindowExA(uint32_t exStyle, const char* className, const char* title,
                             uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                             WindowHandle parent, uintptr_t menuOrId, InstanceHandle, void*) {
    x11::ensureSystemClasses();
    x11::supportedOrReported(onlyListedFlags(kListedWindowStyles, style), "CreateWindowExA",
                             "style", style);
    x11::supportedOrReported(onlyListedFlags(kListedExtendedStyles, exStyle), "CreateWindowExA",
                             "extended style", exStyle);
    if (className == nullptr || x11::display() == nullptr) return nullptr;
    const x11::ClassRecord* windowClass = x11::findClass(className);
    x11::WindowObject* parentWindow = x11::findWindow(parent);
    if (windowClass == nullptr || (parent != nullptr && parent != x11::kDesktopWindow &&
                                   (parentWindow == nullptr || parentWindow->destroying)))
        return nullptr;
    const bool child = parentWindow != nullptr && (style & WS_CHILD) != 0;
    if ((style & WS_CHILD) != 0 && !child) return nullptr;  // a child needs a parent

    x11::WindowObject& window = x11::addWindow();
    const WindowHandle handle = window.handle;
    window.className = windowClass->name;
    window.procedure = windowClass->procedure;
    window.background = windowClass->background;
    window.doubleClicks = (windowClass->style & CS_DBLCLKS) != 0;
    window.style = style;
    window.exStyle = exStyle;
    if (title != nullptr) window.text = x11::utf8FromCp932(title).value_or("");
    window.parent = child ? parent : nullptr;
    window.id = child ? menuOrId : 0;
    window.frame = x11::frameInsets(style, exStyle);
    window.framedByManager =
        !child && ((style & WS_CAPTION) == WS_CAPTION || (style & WS_POPUP) == 0);
    window.place = x11::initialPlace(style, x, y, width, height);
    if (!x11::createXWindow(window)) {
        x11::removeWindow(handle);
        return nullptr;
    }
    if (child) parentWindow->children.push_back(handle);

    constexpr intptr_t kCreationFailed = -1;
    if (x11::sendMessage(handle, WM_CREATE, 0, 0) == kCreationFailed) {
        DestroyWindow(handle);
        return nullptr;
    }
    x11::WindowObject* created = x11::findWindow(handle);
    if (created == nullptr) return nullptr;
    if ((style & WS_VISIBLE) != 0) XMapWindow(x11::display(), created->xwindow);
    return handle;
}

bool DestroyWindow(WindowHandle window) {
    const x11::WindowObject* found = x11::findWindow(window);
    if (found == nullptr || found->destroying) return false;
    x11::destroyTree(window);
    return true;
}

intptr_t DefWindowProcA(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_NCLBUTTONDOWN:
            if (x11::WindowObject* found = x11::findWindow(window);
                found != nullptr && wParam == HTCAPTION)
                x11::moveWithPointer(x11::topLevelOf(*found));
            return 0;
        case WM_PAINT: {
            PaintRecord paint{};
            if (BeginPaint(window, &paint) != nullptr) EndPaint(window, &paint);
            return 0;
        }
        default:
            // A listed message this backend has nothing to do for answers 0.
            x11::supportedOrReported(isListed(kListedMessages, message), "DefWindowProcA",
                                     "message", message);
            return 0;
    }
}

WindowHandle GetDlgItem(WindowHandle dialog, int32_t id) {
    const x11::WindowObject* found = x11::findWindow(dialog);
    if (found == nullptr) return nullptr;
    for (WindowHandle child : found->children) {
        const x11::WindowObject* item = x11::findWindow(child);
        if (item != nullptr && item->id == static_cast<uintptr_t>(static_cast<uint32_t>(id)))
            return child;
    }
    return nullptr;
}

// The text in code page 932 (a character it cannot hold as '?'), cut to the
// buffer at a character boundary.
uint32_t GetDlgItemTextA(WindowHandle dialog, int32_t id, char* text, int32_t capacity) {
    if (text == nullptr || capacity <= 0) return 0;
    text[0] = '\0';
    const x11::WindowObject* item = x11::findWindow(GetDlgItem(dialog, id));
    if (item == nullptr) return 0;
    const std::string converted = x11::cp932FromUtf8(item->text);
    const size_t length = std::min(converted.size(), static_cast<size_t>(capacity) - 1);
    std::memcpy(text, converted.data(), length);
    text[length] = '\0';
    trimSplitCp932Character(text);
    return static_cast<uint32_t>(std::strlen(text));
}

// Our controls follow a held button through the pointer grab X gives the
// window it was pressed on; there is no capture of our own to end.
bool ReleaseCapture() { return true; }

}  // namespace platform
