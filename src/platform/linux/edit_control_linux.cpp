// The single-line edit box: white, sunken, its text from the left; a caret
// and the selection, highlighted, while it has the keyboard focus. Without
// horizontal scrolling it takes only as much text as fits its width, as the
// Windows control without ES_AUTOHSCROLL. It edits as that control does:
// the mouse places the caret, selects by dragging and a word by a double
// click; Shift with the arrows, Home and End selects; Ctrl+A selects all;
// Ctrl+C, Ctrl+X and Ctrl+V (or Ctrl+Insert, Shift+Delete and Shift+Insert)
// copy, cut and paste through the clipboard; Ctrl+Z undoes the last edit;
// typing, Backspace and Delete replace the selection. As X programs do, the
// selected text is the primary selection, and the middle button pastes the
// primary selection where it is pressed. Every change is EN_CHANGE to the
// parent; keys that change nothing send nothing.
#include <cstdlib>
#include <string>
#include <unordered_map>

#include "platform/linux/backend_messages_linux.h"
#include "platform/linux/clipboard_linux.h"
#include "platform/linux/controls_linux.h"
#include "platform/linux/edit_text_linux.h"
#include "platform/linux/focus_linux.h"
#include "platform/linux/fonts_linux.h"
#include "platform/linux/gdi_objects_linux.h"
#include "platform/linux/pixels_linux.h"
#include "platform/linux/unicode_linux.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace platform::x11 {
namespace {

constexpr int32_t kMargin = 1;  // between the client edge and the text
// Ctrl with a letter, as the characters they type.
constexpr char32_t kSelectAllKey = 0x01;  // Ctrl+A
constexpr char32_t kCopyKey = 0x03;       // Ctrl+C
constexpr char32_t kPasteKey = 0x16;      // Ctrl+V
constexpr char32_t kCutKey = 0x18;        // Ctrl+X
constexpr char32_t kUndoKey = 0x1A;       // Ctrl+Z
constexpr char32_t kDeleteCharacter = 0x7F;

struct EditState {
    GdiObject font = nullptr;
    EditText edit;
    bool dragging = false;  // button 1 went down in the box and is not up yet
};

std::unordered_map<WindowHandle, EditState> edits;

bool held(int32_t key) { return GetKeyState(key) < 0; }

int32_t widthOf(const EditState& state, std::u32string_view text) {
    return textWidth(fontOrDefault(state.font), utf8Of(text));
}

int32_t widthBefore(const EditState& state, size_t at) {
    return widthOf(state, std::u32string_view(state.edit.text()).substr(0, at));
}

// The character boundary nearest to `x` (client coordinates).
size_t boundaryAt(const EditState& state, int32_t x) {
    size_t best = 0;
    int32_t bestDistance = std::abs(x - kMargin);
    for (size_t at = 1; at <= state.edit.text().size(); ++at) {
        const int32_t distance = std::abs(x - kMargin - widthBefore(state, at));
        if (distance < bestDistance) {
            best = at;
            bestDistance = distance;
        }
    }
    return best;
}

// The character under `x`: the last one that starts at or left of it.
size_t characterAt(const EditState& state, int32_t x) {
    size_t at = 0;
    while (at + 1 < state.edit.text().size() && kMargin + widthBefore(state, at + 1) <= x) ++at;
    return at;
}

::Window ownerOf(WindowObject& window) { return topLevelOf(window).xwindow; }

// Another program took the primary selection: ours is no longer selected,
// as in other X programs.
void primaryLost(WindowHandle handle) {
    auto found = edits.find(handle);
    WindowObject* window = findWindow(handle);
    if (found == edits.end() || window == nullptr) return;
    EditText& edit = found->second.edit;
    edit.moveTo(edit.caret(), false);
    invalidateAll(*window);
}

// The caret or the selection moved: shown anew, and the selected text is
// the primary selection while there is any.
void selectionMoved(WindowObject& window, const EditState& state) {
    invalidateAll(window);
    if (state.edit.hasSelection()) {
        const WindowHandle handle = window.handle;
        offerSelection(Selection::primary, ownerOf(window), utf8Of(state.edit.selectedText()),
                       [handle] { primaryLost(handle); });
    } else {
        withdrawSelection(Selection::primary, ownerOf(window));
    }
}

// After an edit: the window's text follows, and a change is EN_CHANGE.
void edited(WindowObject& window, EditState& state, bool changed) {
    if (!changed) return;
    window.text = utf8Of(state.edit.text());
    selectionMoved(window, state);
    notifyParent(window.handle, EN_CHANGE);
}

EditText::Fits fitsIn(const WindowObject& window, const EditState& state) {
    const int32_t room = clientRectOf(window).right - 2 * kMargin;
    return [&state, room](std::u32string_view line) { return widthOf(state, line) <= room; };
}

void paste(WindowObject& window, EditState& state, Selection from) {
    const std::optional<std::string> text = selectionText(from, ownerOf(window));
    if (!text) return;
    edited(window, state,
           state.edit.replaceSelection(codePointsOf(*text), fitsIn(window, state), false));
}

void copy(WindowObject& window, const EditState& state) {
    if (state.edit.hasSelection())
        offerSelection(Selection::clipboard, ownerOf(window), utf8Of(state.edit.selectedText()));
}

void cut(WindowObject& window, EditState& state) {
    copy(window, state);
    edited(window, state, state.edit.eraseSelection());
}

void paint(WindowObject& window, const EditState& state) {
    PaintRecord record{};
    BeginPaint(window.handle, &record);
    const Point origin = clientInXWindow(window);
    const Rect client = clientRectOf(window);
    const Rect area{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    fillArea(window.xwindow, area, systemColour(COLOR_WINDOW));
    XftFont* font = fontOrDefault(state.font);
    if (font != nullptr) {
        const int32_t left = area.left + kMargin;
        const int32_t baseline = area.top + font->ascent;
        const int32_t bottom = std::min(area.top + font->ascent + font->descent, area.bottom);
        drawText(window.xwindow, font, left, baseline, window.text, systemColour(COLOR_WINDOWTEXT),
                 area);
        // Windows hides the selection of a box without the focus.
        const bool focused = hasKeyboardFocus(window.handle);
        if (focused && state.edit.hasSelection()) {
            Rect selected{left + widthBefore(state, state.edit.selectionStart()), area.top,
                          left + widthBefore(state, state.edit.selectionEnd()), bottom};
            selected.right = std::min(selected.right, area.right);
            fillArea(window.xwindow, selected, systemColour(COLOR_HIGHLIGHT));
            drawText(window.xwindow, font, left, baseline, window.text,
                     systemColour(COLOR_HIGHLIGHTTEXT), selected);
        }
        if (focused) {
            const int32_t x = left + widthBefore(state, state.edit.caret());
            fillArea(window.xwindow, {x, area.top, x + 1, bottom}, systemColour(COLOR_WINDOWTEXT));
        }
    }
    EndPaint(window.handle, &record);
}

void onKey(WindowObject& window, EditState& state, int32_t key) {
    const bool shift = held(VK_SHIFT);
    const bool control = held(VK_CONTROL);
    EditText& edit = state.edit;
    switch (key) {
        case VK_LEFT:
            edit.moveLeft(shift, control);
            break;
        case VK_RIGHT:
            edit.moveRight(shift, control);
            break;
        case VK_HOME:
            edit.moveTo(0, shift);
            break;
        case VK_END:
            edit.moveTo(edit.text().size(), shift);
            break;
        case VK_DELETE:
            if (shift) {
                cut(window, state);
            } else {
                edited(window, state, edit.eraseForward());
            }
            return;
        case VK_INSERT:
            if (shift) {
                paste(window, state, Selection::clipboard);
            } else if (control) {
                copy(window, state);
            }
            return;
        default:
            return;
    }
    selectionMoved(window, state);
}

void onCharacter(WindowObject& window, EditState& state, char32_t character) {
    switch (character) {
        case VK_BACK:
            edited(window, state, state.edit.eraseBackward());
            return;
        case kSelectAllKey:
            state.edit.selectAll();
            selectionMoved(window, state);
            return;
        case kCopyKey:
            copy(window, state);
            return;
        case kPasteKey:
            paste(window, state, Selection::clipboard);
            return;
        case kCutKey:
            cut(window, state);
            return;
        case kUndoKey:
            edited(window, state, state.edit.undo());
            return;
        default:
            // Other control characters (Tab, Enter, Ctrl with other keys)
            // type nothing.
            if (character < 0x20 || character == kDeleteCharacter) return;
            edited(window, state,
                   state.edit.replaceSelection(std::u32string_view(&character, 1),
                                               fitsIn(window, state), true));
    }
}

// Button 1 down: the caret goes to the point (Shift: the selection reaches
// it) and a drag selects from there.
void onPress(WindowObject& window, EditState& state, intptr_t lParam) {
    setFocus(window.handle);
    state.edit.moveTo(boundaryAt(state, pointX(lParam)), held(VK_SHIFT));
    state.dragging = true;
    selectionMoved(window, state);
}

void onMiddlePress(WindowObject& window, EditState& state, intptr_t lParam) {
    setFocus(window.handle);
    // Taken before the caret moves: the box's own selection may be the text.
    const std::optional<std::string> text = selectionText(Selection::primary, ownerOf(window));
    state.edit.moveTo(boundaryAt(state, pointX(lParam)), false);
    selectionMoved(window, state);
    if (text) {
        edited(window, state,
               state.edit.replaceSelection(codePointsOf(*text), fitsIn(window, state), false));
    }
}

}  // namespace

intptr_t editProcedure(WindowHandle handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    WindowObject* window = findWindow(handle);
    if (window == nullptr) return 0;
    if (message == WM_CREATE) {
        EditState state;
        state.edit = EditText(codePointsOf(window->text));
        edits[handle] = std::move(state);
    }
    auto found = edits.find(handle);
    if (found == edits.end()) return DefWindowProcA(handle, message, wParam, lParam);
    EditState& state = found->second;
    switch (message) {
        case WM_CREATE:
            return 0;
        case WM_DESTROY:
            withdrawSelection(Selection::primary, ownerOf(*window));
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
            onPress(*window, state, lParam);
            return 0;
        case WM_LBUTTONDBLCLK:
            setFocus(handle);
            state.edit.selectWordAt(characterAt(state, pointX(lParam)));
            selectionMoved(*window, state);
            return 0;
        case WM_MOUSEMOVE:
            if (state.dragging && (wParam & MK_LBUTTON) != 0) {
                state.edit.moveTo(boundaryAt(state, pointX(lParam)), true);
                selectionMoved(*window, state);
            }
            return 0;
        case WM_LBUTTONUP:
            state.dragging = false;
            return 0;
        case WM_MBUTTONDOWN:
            onMiddlePress(*window, state, lParam);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            invalidateAll(*window);
            return 0;
        case WM_KEYDOWN:
            onKey(*window, state, static_cast<int32_t>(wParam));
            return 0;
        case WM_CHAR:
            onCharacter(*window, state, static_cast<char32_t>(wParam));
            return 0;
        default:
            return DefWindowProcA(handle, message, wParam, lParam);
    }
}

}  // namespace platform::x11
