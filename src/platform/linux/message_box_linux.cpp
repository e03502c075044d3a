// MessageBoxA: a small window of our own with the caption on a bar, the text
// and an OK button, above the other windows; it waits for the user (OK,
// Enter, Escape, Space or a close request), running the program's messages
// meanwhile as Windows' message box does. Without an X server the text goes
// to the standard error.
#include "platform/linux/message_box_linux.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/backend_messages_linux.h"
#include "platform/linux/fonts_linux.h"
#include "platform/linux/gdi_objects_linux.h"
#include "platform/linux/pixels_linux.h"
#include "platform/linux/text_linux.h"
#include "platform/linux/unsupported_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace platform {
namespace x11 {
namespace {

constexpr const char* kClassName = "t462 message box";
constexpr uint32_t kBoxStyle = WS_POPUP | WS_DLGFRAME;
constexpr uint32_t kButtonStyle = WS_CHILD | WS_VISIBLE;
constexpr int32_t kCaptionHeight = 20;
constexpr int32_t kPadding = 16;
constexpr int32_t kButtonWidth = 75;
constexpr int32_t kButtonHeight = 23;
constexpr int32_t kLeastWidth = 200;

struct Box {
    std::string caption;  // UTF-8
    std::vector<std::string> lines;
    bool answered = false;
    bool focused = false;
};

Box* current = nullptr;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        if (end == std::string::npos) return lines;
        start = end + 1;
    }
}

int32_t lineHeight(XftFont* font) {
    return font == nullptr ? 14 : font->ascent + font->descent + 2;
}

void paintBox(WindowHandle handle) {
    WindowObject* window = findWindow(handle);
    PaintRecord paint{};
    if (window == nullptr || current == nullptr || BeginPaint(handle, &paint) == nullptr) return;
    const Point origin = clientInXWindow(*window);
    const Rect client = clientRectOf(*window);
    XftFont* font = defaultControlFont();
    const Rect bar{origin.x, origin.y, origin.x + client.right, origin.y + kCaptionHeight};
    fillArea(window->xwindow, bar, systemColour(COLOR_ACTIVECAPTION));
    if (font != nullptr) {
        const int32_t barBaseline =
            bar.top + (kCaptionHeight - font->ascent - font->descent) / 2 + font->ascent;
        drawText(window->xwindow, font, bar.left + 6, barBaseline, current->caption,
                 systemColour(COLOR_CAPTIONTEXT), bar);
        int32_t baseline = bar.bottom + kPadding + font->ascent;
        const Rect area{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
        for (const std::string& line : current->lines) {
            drawText(window->xwindow, font, origin.x + kPadding, baseline, line,
                     systemColour(COLOR_WINDOWTEXT), area);
            baseline += lineHeight(font);
        }
    }
    EndPaint(handle, &paint);
    // Without a window manager nobody else gives the box the keyboard.
    if (!current->focused && window->mapped && !window->reparented) {
        XSetInputFocus(display(), window->xwindow, RevertToParent, CurrentTime);
        current->focused = true;
    }
}

intptr_t boxProcedure(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
        case WM_PAINT:
            paintBox(window);
            return 0;
        case WM_LBUTTONDOWN:
            // The caption bar moves the box, as a caption does.
            if (pointY(lParam) < kCaptionHeight)
                DefWindowProcA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
            return 0;
        case WM_COMMAND:
            if ((wParam & 0xFFFF) == IDOK && current != nullptr) current->answered = true;
            return 0;
        case WM_KEYDOWN:
            if ((wParam == VK_RETURN || wParam == VK_ESCAPE || wParam == VK_SPACE) &&
                current != nullptr)
                current->answered = true;
            return 0;
        case WM_CLOSE:
            if (current != nullptr) current->answered = true;
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

WindowHandle createBox(const char* caption, const Box& box) {
    static const bool registered = [] {
        WindowClass windowClass{};
        windowClass.procedure = boxProcedure;
        windowClass.background = CreateSolidBrush(systemColour(COLOR_BTNFACE));
        windowClass.className = kClassName;
        return RegisterClassExA(&windowClass) != 0;
    }();
    if (!registered) return nullptr;
    XftFont* font = defaultControlFont();
    int32_t textWidest = 0;
    for (const std::string& line : box.lines)
        textWidest = std::max(textWidest, textWidth(font, line));
    textWidest = std::max(textWidest, textWidth(font, box.caption));
    const Insets frame = frameInsets(kBoxStyle, 0);
    const int32_t width =
        std::max(textWidest + 2 * kPadding, kLeastWidth) + frame.left + frame.right;
    const int32_t height = kCaptionHeight + 2 * kPadding +
                           static_cast<int32_t>(box.lines.size()) * lineHeight(font) +
                           kButtonHeight + kPadding + frame.top + frame.bottom;
    Display* connection = display();
    const int screen = DefaultScreen(connection);
    const int32_t x = (DisplayWidth(connection, screen) - width) / 2;
    const int32_t y = (DisplayHeight(connection, screen) - height) / 2;
    WindowHandle window = CreateWindowExA(0, kClassName, caption, kBoxStyle, x, y, width, height,
                                          nullptr, 0, nullptr, nullptr);
    if (window == nullptr) return nullptr;
    const int32_t clientWidth = width - frame.left - frame.right;
    const int32_t clientHeight = height - frame.top - frame.bottom;
    CreateWindowExA(0, "BUTTON", "OK", kButtonStyle, (clientWidth - kButtonWidth) / 2,
                    clientHeight - kPadding / 2 - kButtonHeight, kButtonWidth, kButtonHeight,
                    window, IDOK, nullptr, nullptr);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    return window;
}

// The program's messages run while the box waits; a quit request ends the
// wait and is kept for the program's own loop.
void waitForAnswer(WindowHandle window, const Box& box) {
    Message message;
    while (!box.answered && findWindow(window) != nullptr) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(INFINITE, 0);
            continue;
        }
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int32_t>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

void showMessageBox(const std::string& caption, const std::string& text) {
    Box box;
    box.caption = caption;
    box.lines = linesOf(text);
    if (display() == nullptr) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return;
    }
    Box* outer = std::exchange(current, &box);
    const WindowHandle window = createBox(cp932FromUtf8(caption).c_str(), box);
    if (window != nullptr) {
        waitForAnswer(window, box);
        DestroyWindow(window);
    } else {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
    current = outer;
}

}  // namespace x11

// Every box has the one OK button; the icon is not drawn.
int32_t MessageBoxA(WindowHandle, const char* text, const char* caption, uint32_t style) {
    x11::supportedOrReported(isListedMessageBoxStyle(style), "MessageBoxA", "style", style);
    x11::showMessageBox(caption != nullptr ? x11::utf8FromCp932(caption).value_or("") : "",
                        text != nullptr ? x11::utf8FromCp932(text).value_or("") : "");
    return IDOK;
}

}  // namespace platform
