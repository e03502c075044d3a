#include "platform/linux/key_mapping_linux.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <iterator>

namespace platform::x11 {
namespace {

constexpr int32_t kNumpad0 = 0x60;  // VK_NUMPAD0
constexpr int32_t kDecimal = 0x6E;  // VK_DECIMAL
constexpr int32_t kF1 = 0x70;       // VK_F1
constexpr int32_t kLeftShift = 0xA0;
constexpr int32_t kRightShift = 0xA1;
constexpr int32_t kLeftControl = 0xA2;
constexpr int32_t kRightControl = 0xA3;
constexpr int32_t kLeftMenu = 0xA4;
constexpr int32_t kRightMenu = 0xA5;

struct KeysymKey {
    uint32_t keysym;
    int32_t key;
};

// Keys that mean the same on every layout, keypad keys without Num Lock
// among them.
constexpr KeysymKey kFixedKeys[] = {
    {XK_BackSpace, 0x08},
    {XK_Tab, 0x09},
    {XK_Return, 0x0D},
    {XK_KP_Enter, 0x0D},
    {XK_Pause, 0x13},
    {XK_Caps_Lock, 0x14},
    {XK_Escape, 0x1B},
    {XK_space, 0x20},
    {XK_Prior, 0x21},
    {XK_Next, 0x22},
    {XK_End, 0x23},
    {XK_Home, 0x24},
    {XK_Left, 0x25},
    {XK_Up, 0x26},
    {XK_Right, 0x27},
    {XK_Down, 0x28},
    {XK_Print, 0x2C},
    {XK_Insert, 0x2D},
    {XK_Delete, 0x2E},
    {XK_KP_Prior, 0x21},
    {XK_KP_Next, 0x22},
    {XK_KP_End, 0x23},
    {XK_KP_Home, 0x24},
    {XK_KP_Left, 0x25},
    {XK_KP_Up, 0x26},
    {XK_KP_Right, 0x27},
    {XK_KP_Down, 0x28},
    {XK_KP_Begin, 0x0C},
    {XK_KP_Insert, 0x2D},
    {XK_KP_Delete, 0x2E},
    {XK_KP_Multiply, 0x6A},
    {XK_KP_Add, 0x6B},
    {XK_KP_Separator, 0x6C},
    {XK_KP_Subtract, 0x6D},
    {XK_KP_Divide, 0x6F},
    {XK_Num_Lock, 0x90},
    {XK_Scroll_Lock, 0x91},
    {XK_Shift_L, kLeftShift},
    {XK_Shift_R, kRightShift},
    {XK_Control_L, kLeftControl},
    {XK_Control_R, kRightControl},
    {XK_Alt_L, kLeftMenu},
    {XK_Alt_R, kRightMenu},
    {XK_ISO_Level3_Shift, kRightMenu},
    {XK_Super_L, 0x5B},
    {XK_Super_R, 0x5C},
    {XK_Menu, 0x5D},
};

constexpr int32_t kOemSemicolon = 0xBA;  // VK_OEM_1
constexpr int32_t kOemPlus = 0xBB;
constexpr int32_t kOemComma = 0xBC;
constexpr int32_t kOemMinus = 0xBD;
constexpr int32_t kOemPeriod = 0xBE;
constexpr int32_t kOemSlash = 0xBF;        // VK_OEM_2
constexpr int32_t kOemGrave = 0xC0;        // VK_OEM_3
constexpr int32_t kOemBracketLeft = 0xDB;  // VK_OEM_4
constexpr int32_t kOemBackslash = 0xDC;    // VK_OEM_5
constexpr int32_t kOemBracketRight = 0xDD;
constexpr int32_t kOemApostrophe = 0xDE;  // VK_OEM_7
constexpr int32_t kOem102 = 0xE2;         // the key between left Shift and Z

// The punctuation keys of the US layout, by their characters.
constexpr KeysymKey kPunctuationKeys[] = {
    {XK_semicolon, kOemSemicolon},   {XK_equal, kOemPlus},
    {XK_comma, kOemComma},           {XK_minus, kOemMinus},
    {XK_period, kOemPeriod},         {XK_slash, kOemSlash},
    {XK_grave, kOemGrave},           {XK_bracketleft, kOemBracketLeft},
    {XK_backslash, kOemBackslash},   {XK_bracketright, kOemBracketRight},
    {XK_apostrophe, kOemApostrophe},
};

// The main block's keys by their XKB names: the four rows from the digits
// down, each the US layout's keys from the left, then the keys of no row.
constexpr const char* kRowNames[] = {"AE", "AD", "AC", "AB"};
constexpr int32_t kRowKeys[][12] = {
    {'1', '2', '3', '4', '5', '6', '7', '8', '9', '0', kOemMinus, kOemPlus},
    {'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P', kOemBracketLeft, kOemBracketRight},
    {'A', 'S', 'D', 'F', 'G', 'H', 'J', 'K', 'L', kOemSemicolon, kOemApostrophe, 0},
    {'Z', 'X', 'C', 'V', 'B', 'N', 'M', kOemComma, kOemPeriod, kOemSlash, 0, 0},
};
struct NamedKey {
    const char* name;
    int32_t key;
};
constexpr NamedKey kOtherNamedKeys[] = {
    {"TLDE", kOemGrave}, {"BKSL", kOemBackslash}, {"AC12", kOemBackslash}, {"LSGT", kOem102}};

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
        return kNumpad0 + static_cast<int32_t>(keysym - XK_KP_0);
    if (keysym == XK_KP_Decimal) return kDecimal;
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
    if (plain >= XK_F1 && plain <= XK_F24) return kF1 + static_cast<int32_t>(plain - XK_F1);
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
        case kLeftShift:
        case kRightShift:
            return 0x10;  // VK_SHIFT
        case kLeftControl:
        case kRightControl:
            return 0x11;  // VK_CONTROL
        case kLeftMenu:
        case kRightMenu:
            return 0x12;  // VK_MENU
        default:
            return key;
    }
}

}  // namespace platform::x11
