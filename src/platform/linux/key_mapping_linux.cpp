#include "platform/linux/key_mapping_linux.h"

#include <X11/keysym.h>

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
    {XK_semicolon, 0xBA},
    {XK_equal, 0xBB},
    {XK_comma, 0xBC},
    {XK_minus, 0xBD},
    {XK_period, 0xBE},
    {XK_slash, 0xBF},
    {XK_grave, 0xC0},
    {XK_bracketleft, 0xDB},
    {XK_backslash, 0xDC},
    {XK_bracketright, 0xDD},
    {XK_apostrophe, 0xDE},
};

int32_t fixedKeyOf(uint32_t keysym) {
    for (const KeysymKey& entry : kFixedKeys)
        if (entry.keysym == keysym) return entry.key;
    return 0;
}

// A keypad digit or decimal point: what Num Lock switches the keypad to.
int32_t numpadKeyOf(uint32_t keysym) {
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
        return kNumpad0 + static_cast<int32_t>(keysym - XK_KP_0);
    if (keysym == XK_KP_Decimal) return kDecimal;
    return 0;
}

}  // namespace

int32_t virtualKeyOf(uint32_t plain, uint32_t shifted, bool numLock) {
    if (plain >= XK_a && plain <= XK_z) return 'A' + static_cast<int32_t>(plain - XK_a);
    if (plain >= XK_A && plain <= XK_Z) return 'A' + static_cast<int32_t>(plain - XK_A);
    if (plain >= XK_0 && plain <= XK_9) return '0' + static_cast<int32_t>(plain - XK_0);
    if (plain >= XK_F1 && plain <= XK_F24) return kF1 + static_cast<int32_t>(plain - XK_F1);
    // A keypad whose plain level already is the digit keeps it.
    if (const int32_t digit = numpadKeyOf(plain)) return digit;
    if (numLock) {
        if (const int32_t digit = numpadKeyOf(shifted)) return digit;
    }
    return fixedKeyOf(plain);
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
