#include "platform/linux/key_mapping_linux.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <iterator>

#include "platform/windows_values.h"

namespace platform::x11 {
namespace {

struct KeysymKey {
    uint32_t keysym;
    int32_t key;
};

// Keys that mean the same on every layout, keypad keys without Num Lock
// among them.
constexpr KeysymKey kFixedKeys[] = {
    {XK_BackSpace, VK_BACK},
    {XK_Tab, VK_TAB},
    {XK_Return, VK_RETURN},
    {XK_KP_Enter, VK_RETURN},
    {XK_Pause, VK_PAUSE},
    {XK_Caps_Lock, VK_CAPITAL},
    {XK_Escape, VK_ESCAPE},
    {XK_space, VK_SPACE},
    {XK_Prior, VK_PRIOR},
    {XK_Next, VK_NEXT},
    {XK_End, VK_END},
    {XK_Home, VK_HOME},
    {XK_Left, VK_LEFT},
    {XK_Up, VK_UP},
    {XK_Right, VK_RIGHT},
    {XK_Down, VK_DOWN},
    {XK_Print, VK_SNAPSHOT},
    {XK_Insert, VK_INSERT},
    {XK_Delete, VK_DELETE},
    {XK_KP_Prior, VK_PRIOR},
    {XK_KP_Next, VK_NEXT},
    {XK_KP_End, VK_END},
    {XK_KP_Home, VK_HOME},
    {XK_KP_Left, VK_LEFT},
    {XK_KP_Up, VK_UP},
    {XK_KP_Right, VK_RIGHT},
    {XK_KP_Down, VK_DOWN},
    {XK_KP_Begin, VK_CLEAR},
    {XK_KP_Insert, VK_INSERT},
    {XK_KP_Delete, VK_DELETE},
    {XK_KP_Multiply, VK_MULTIPLY},
    {XK_KP_Add, VK_ADD},
    {XK_KP_Separator, VK_SEPARATOR},
    {XK_KP_Subtract, VK_SUBTRACT},
    {XK_KP_Divide, VK_DIVIDE},
    {XK_Num_Lock, VK_NUMLOCK},
    {XK_Scroll_Lock, VK_SCROLL},
    {XK_Shift_L, VK_LSHIFT},
    {XK_Shift_R, VK_RSHIFT},
    {XK_Control_L, VK_LCONTROL},
    {XK_Control_R, VK_RCONTROL},
    {XK_Alt_L, VK_LMENU},
    {XK_Alt_R, VK_RMENU},
    {XK_ISO_Level3_Shift, VK_RMENU},
    {XK_Super_L, VK_LWIN},
    {XK_Super_R, VK_RWIN},
    {XK_Menu, VK_APPS},
};

// The punctuation keys of the US layout, by their characters.
constexpr KeysymKey kPunctuationKeys[] = {
    {XK_semicolon, VK_OEM_1},    {XK_equal, VK_OEM_PLUS},    {XK_comma, VK_OEM_COMMA},
    {XK_minus, VK_OEM_MINUS},    {XK_period, VK_OEM_PERIOD}, {XK_slash, VK_OEM_2},
    {XK_grave, VK_OEM_3},        {XK_bracketleft, VK_OEM_4}, {XK_backslash, VK_OEM_5},
    {XK_bracketright, VK_OEM_6}, {XK_apostrophe, VK_OEM_7},
};

// The main block's keys by their XKB names: the four rows from the digits
// down, each the US layout's keys from the left, then the keys of no row.
constexpr const char* kRowNames[] = {"AE", "AD", "AC", "AB"};
constexpr int32_t kRowKeys[][12] = {
    {'1', '2', '3', '4', '5', '6', '7', '8', '9', '0', VK_OEM_MINUS, VK_OEM_PLUS},
    {'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P', VK_OEM_4, VK_OEM_6},
    {'A', 'S', 'D', 'F', 'G', 'H', 'J', 'K', 'L', VK_OEM_1, VK_OEM_7, 0},
    {'Z', 'X', 'C', 'V', 'B', 'N', 'M', VK_OEM_COMMA, VK_OEM_PERIOD, VK_OEM_2, 0, 0},
};
struct NamedKey {
    const char* name;
    int32_t key;
};
constexpr NamedKey kOtherNamedKeys[] = {{"TLDE", VK_OEM_3},
                                        {"BKSL", VK_OEM_5},
                                        {"AC12", VK_OEM_5},
                                        {"LSGT", VK_OEM_102}};  // LSGT: between left Shift and Z

template <size_t N>
int32_t keyOfKeysym(const KeysymKey (&table)[N], uint32_t keysym) {
    for (const KeysymKey& entry : table)
        if (entry.keysym == keysym) return entry.key;
    return 0;
}

// "AD07" and the like: the key at that place of the US layout.
int32_t keyOfName(const std::string& name) {
    if (name.size() == 4 && name[2] >= '0' && name[2] <= '9' && name[3] >= '0' && name[3] <= '9') {
        const int column = (name[2] - '0') * 10 + (name[3] - '0') - 1;
        for (size_t row = 0; row < std::size(kRowNames); ++row)
            if (name.compare(0, 2, kRowNames[row]) == 0 && column >= 0 && column < 12)
                return kRowKeys[row][column];
    }
    for (const NamedKey& entry : kOtherNamedKeys)
        if (name == entry.name) return entry.key;
    return 0;
}

bool isLatinLetter(uint32_t keysym) {
    return (keysym >= XK_a && keysym <= XK_z) || (keysym >= XK_A && keysym <= XK_Z);
}

// The first Latin letter (upper-cased) or digit of the key, level by level,
// group by group; 0 for none.
int32_t latinLetterOrDigitOf(const KeySymbols& key) {
    for (const std::vector<uint32_t>& group : key.groups) {
        for (const uint32_t keysym : group) {
            if (isLatinLetter(keysym)) return 'A' + static_cast<int32_t>((keysym | 0x20) - XK_a);
            if (keysym >= XK_0 && keysym <= XK_9) return '0' + static_cast<int32_t>(keysym - XK_0);
        }
    }
    return 0;
}

uint32_t levelOf(const KeySymbols& key, size_t level) {
    if (key.groups.empty() || key.groups.front().size() <= level) return NoSymbol;
    return key.groups.front()[level];
}

// A keypad digit or decimal point: what Num Lock switches the keypad to.
int32_t numpadKeyOf(uint32_t keysym) {
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
        return VK_NUMPAD0 + static_cast<int32_t>(keysym - XK_KP_0);
    if (keysym == XK_KP_Decimal) return VK_DECIMAL;
    return 0;
}

}  // namespace

bool isLatinLayout(const std::vector<KeySymbols>& keys) {
    int places = 0;
    int latin = 0;
    for (const KeySymbols& key : keys) {
        const int32_t place = keyOfName(key.name);
        if (place < 'A' || place > 'Z') continue;
        ++places;
        if (isLatinLetter(levelOf(key, 0))) ++latin;
    }
    return places == 0 || 2 * latin >= places;
}

int32_t virtualKeyOf(const KeySymbols& key, bool latinLayout, bool numLock) {
    const uint32_t plain = levelOf(key, 0);
    if (plain >= XK_F1 && plain <= XK_F24) return VK_F1 + static_cast<int32_t>(plain - XK_F1);
    // A keypad whose plain level already is the digit keeps it.
    if (const int32_t digit = numpadKeyOf(plain)) return digit;
    if (numLock) {
        if (const int32_t digit = numpadKeyOf(levelOf(key, 1))) return digit;
    }
    if (const int32_t fixed = keyOfKeysym(kFixedKeys, plain)) return fixed;
    if (const int32_t character = latinLetterOrDigitOf(key)) return character;
    if (latinLayout) {
        if (const int32_t punctuation = keyOfKeysym(kPunctuationKeys, plain)) return punctuation;
    }
    return keyOfName(key.name);
}

int32_t unsidedKey(int32_t key) {
    switch (key) {
        case VK_LSHIFT:
        case VK_RSHIFT:
            return VK_SHIFT;
        case VK_LCONTROL:
        case VK_RCONTROL:
            return VK_CONTROL;
        case VK_LMENU:
        case VK_RMENU:
            return VK_MENU;
        default:
            return key;
    }
}

}  // namespace platform::x11
