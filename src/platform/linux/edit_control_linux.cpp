// The single-line edit box: white, sunken, its text from the left; a caret
// while it has the keyboard focus. Without horizontal scrolling it takes
// only as much text as fits its width, as the Windows control without
// ES_AUTOHSCROLL. Typing, pasting (Ctrl+V, Shift+Insert), Backspace,
// Delete, the arrows, Home and End; every change is EN_CHANGE to the parent.
#include <cstdlib>
#include <string>
#include <unordered_map>

#include "platform/linux/backend_messages_linux.h"
#include "platform/linux/clipboard_linux.h"
#include "platform/linux/controls_linux.h"
#include "platform/linux/focus_linux.h"
#include "platform/linux/fonts_linux.h"
#include "platform/linux/gdi_objects_linux.h"
#include "platform/linux/pixels_linux.h"
#include "platform/linux/unicode_linux.h"
#include "platform/messages.h"
#include "platform/window_system.h"

namespace platform::x11 {
namespace {

constexpr int32_t kMargin = 1;        // between the client edge and the text
constexpr char32_t kPasteKey = 0x16;  // Ctrl+V as a character
constexpr char32_t kDeleteCharacter = 0x7F;

struct EditState {
    GdiObject font = nullptr;
    std::u32string text;
    size_t caret = 0;
};

std::unordered_map<WindowHandle, EditState> edits;

int32_t widthOf(const EditState& state, std::u32string_view text) {
    return textWidth(fontOrDefault(state.font), utf8Of(text));
}

bool fits(const WindowObject& window, const EditState& state, std::u32string_view text) {
    return widthOf(state, text) <= clientRectOf(window).right - 2 * kMargin;
}

void changed(WindowObject& window, EditState& state) {
    window.text = utf8Of(state.text);
    invalidateAll(window);
    notifyParent(window.handle, EN_CHANGE);
}

// Inserts the characters at the caret, each as long as the text still fits;
// a line break ends the insertion (the box holds one line).
void insert(WindowObject& window, EditState& state, std::u32string_view characters) {
    bool any = false;
    for (char32_t character : characters) {
        if (character == U'\r' || character == U'\n') break;
        if (character < 0x20 || character == kDeleteCharacter) continue;
        std::u32string candidate = state.text;
        candidate.insert(state.caret, 1, character);
        if (!fits(window, state, candidate)) break;
        state.text = std::move(candidate);
        ++state.caret;
        any = true;
    }
    if (any) changed(window, state);
}

void eraseAt(WindowObject& window, EditState& state, size_t at) {
    if (at >= state.text.size()) return;
    state.text.erase(at, 1);
    state.caret = at;
    changed(window, state);
}

void moveCaret(WindowObject& window, EditState& state, size_t to) {
    state.caret = std::min(to, state.text.size());
    invalidateAll(window);
}

void paste(WindowObject& window, EditState& state) {
    const std::optional<std::string> text = clipboardText(topLevelOf(window).xwindow);
    if (text) insert(window, state, codePointsOf(*text));
}

// The character boundary nearest to `x` (client coordinates).
size_t caretAt(const EditState& state, int32_t x) {
    size_t best = 0;
    int32_t bestDistance = std::abs(x - kMargin);
    for (size_t at = 1; at <= state.text.size(); ++at) {
        const int32_t distance =
            std::abs(x - kMargin - widthOf(state, std::u32string_view(state.text).substr(0, at)));
        if (distance < bestDistance) {
            best = at;
            bestDistance = distance;
        }
    }
    return best;
}

void paint(WindowObject& window, const EditState& state) {
    PaintRecord record{};
    BeginPaint(window.handle, &record);
    const Point origin = clientInXWindow(window);
    const Rect client = clientRectOf(window);
    const Rect area{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    fillArea(window.xwindow, area, systemColour(kColourWindow));
    XftFont* font = fontOrDefault(state.font);
    if (font != nullptr) {
        drawText(window.xwindow, font, area.left + kMargin, area.top + font->ascent, window.text,
                 systemColour(kColourWindowText), area);
        if (hasKeyboardFocus(window.handle)) {
            const int32_t x =
                area.left + kMargin +
                widthOf(state, std::u32string_view(state.text).substr(0, state.caret));
            const int32_t bottom = std::min(area.top + font->ascent + font->descent, area.bottom);
            fillArea(window.xwindow, {x, area.top, x + 1, bottom}, systemColour(kColourWindowText));
        }
    }
    EndPaint(window.handle, &record);
}

void onKey(WindowObject& window, EditState& state, int32_t key) {
    switch (key) {
        case kKeyLeft:
            if (state.caret > 0) moveCaret(window, state, state.caret - 1);
            break;
        case kKeyRight:
            moveCaret(window, state, state.caret + 1);
            break;
        case kKeyHome:
            moveCaret(window, state, 0);
            break;
        case kKeyEnd:
            moveCaret(window, state, state.text.size());
            break;
        case kKeyDelete:
            eraseAt(window, state, state.caret);
            break;
        case kKeyInsert:
            if (GetKeyState(kKeyShift) < 0) paste(window, state);
            break;
        default:
            break;
    }
}

void onCharacter(WindowObject& window, EditState& state, char32_t character) {
    if (character == kKeyBack) {
        if (state.caret > 0) eraseAt(window, state, state.caret - 1);
    } else if (character == kPasteKey) {
        paste(window, state);
    } else {
        insert(window, state, std::u32string_view(&character, 1));
    }
}

}  // namespace

intptr_t editProcedure(WindowHandle handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    WindowObject* window = findWindow(handle);
    if (window == nullptr) return 0;
    if (message == WM_CREATE) {
        EditState state;
        state.text = codePointsOf(window->text);
        state.caret = state.text.size();
        edits[handle] = std::move(state);
    }
    auto found = edits.find(handle);
    if (found == edits.end()) return DefWindowProcA(handle, message, wParam, lParam);
    EditState& state = found->second;
    switch (message) {
        case WM_CREATE:
            return 0;
        case WM_DESTROY:
            edits.erase(found);
            return 0;
        case WM_SETFONT:
            state.font = reinterpret_cast<GdiObject>(wParam);
            if (lParam != 0) invalidateAll(*window);
            return 0;
        case WM_PAINT:
            paint(*window, state);
            return 0;
        case WM_LBUTTONDOWN:
            setFocus(handle);
            moveCaret(*window, state, caretAt(state, pointX(lParam)));
            return 0;
        case kSetFocus:
        case kKillFocus:
            invalidateAll(*window);
            return 0;
        case WM_KEYDOWN:
            onKey(*window, state, static_cast<int32_t>(wParam));
            return 0;
        case kChar:
            onCharacter(*window, state, static_cast<char32_t>(wParam));
            return 0;
        default:
            return DefWindowProcA(handle, message, wParam, lParam);
    }
}

}  // namespace platform::x11
