// The Linux program's reading of X keys as the virtual keys the controls
// poll (controls/virtual_keys.h).
#include "platform/linux/key_mapping_linux.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include "controls/virtual_keys.h"

namespace {

using platform::x11::unsidedKey;
using platform::x11::virtualKeyOf;

constexpr uint32_t kNoSymbol = 0;  // a level without a keysym

TEST(KeyMappingLinux, LettersAndMainDigitsAreTheirCodesOnEveryLevel) {
    EXPECT_EQ(keys::key('A'), virtualKeyOf(XK_a, XK_A, false));
    EXPECT_EQ(keys::key('Z'), virtualKeyOf(XK_z, XK_Z, true));
    EXPECT_EQ(keys::key('Q'), virtualKeyOf(XK_Q, XK_q, false));  // caps-first layouts
    EXPECT_EQ(keys::key('1'), virtualKeyOf(XK_1, XK_exclam, false));
    EXPECT_EQ(keys::key('0'), virtualKeyOf(XK_0, XK_parenright, true));
    EXPECT_EQ(keys::key('7'), virtualKeyOf(XK_7, XK_ampersand, false));
}

TEST(KeyMappingLinux, KeypadDigitsOnlyWithNumLock) {
    struct Key {
        uint32_t plain;
        uint32_t shifted;
        int32_t withNumLock;
        int32_t without;
    };
    const Key keypad[] = {
        {XK_KP_Up, XK_KP_8, keys::kNumpad8, keys::kUp},
        {XK_KP_Down, XK_KP_2, keys::kNumpad2, keys::kDown},
        {XK_KP_Left, XK_KP_4, keys::kNumpad4, keys::kLeft},
        {XK_KP_Right, XK_KP_6, keys::kNumpad6, keys::kRight},
        {XK_KP_Home, XK_KP_7, keys::kNumpad7, 0x24},       // VK_HOME
        {XK_KP_Prior, XK_KP_9, keys::kNumpad9, 0x21},      // VK_PRIOR
        {XK_KP_End, XK_KP_1, keys::kNumpad1, 0x23},        // VK_END
        {XK_KP_Next, XK_KP_3, keys::kNumpad3, 0x22},       // VK_NEXT
        {XK_KP_Insert, XK_KP_0, keys::kNumpad0, 0x2D},     // VK_INSERT
        {XK_KP_Begin, XK_KP_5, keys::kNumpad0 + 5, 0x0C},  // VK_CLEAR
    };
    for (const Key& key : keypad) {
        EXPECT_EQ(key.withNumLock, virtualKeyOf(key.plain, key.shifted, true)) << key.shifted;
        EXPECT_EQ(key.without, virtualKeyOf(key.plain, key.shifted, false)) << key.plain;
    }
    // The operators do not depend on Num Lock.
    for (const bool numLock : {false, true}) {
        EXPECT_EQ(keys::kMultiply, virtualKeyOf(XK_KP_Multiply, XK_KP_Multiply, numLock));
        EXPECT_EQ(keys::kAdd, virtualKeyOf(XK_KP_Add, XK_KP_Add, numLock));
        EXPECT_EQ(keys::kSubtract, virtualKeyOf(XK_KP_Subtract, XK_KP_Subtract, numLock));
        EXPECT_EQ(keys::kDivide, virtualKeyOf(XK_KP_Divide, XK_KP_Divide, numLock));
    }
}

TEST(KeyMappingLinux, ModifierSidesApartAndTogether) {
    EXPECT_EQ(keys::kLeftShift, virtualKeyOf(XK_Shift_L, kNoSymbol, false));
    EXPECT_EQ(keys::kRightShift, virtualKeyOf(XK_Shift_R, kNoSymbol, false));
    EXPECT_EQ(keys::kLeftControl, virtualKeyOf(XK_Control_L, kNoSymbol, false));
    EXPECT_EQ(keys::kRightControl, virtualKeyOf(XK_Control_R, kNoSymbol, false));
    EXPECT_EQ(0x10, unsidedKey(keys::kLeftShift));  // VK_SHIFT
    EXPECT_EQ(0x10, unsidedKey(keys::kRightShift));
    EXPECT_EQ(0x11, unsidedKey(keys::kLeftControl));  // VK_CONTROL
    EXPECT_EQ(0x11, unsidedKey(keys::kRightControl));
    EXPECT_EQ(0x12, unsidedKey(virtualKeyOf(XK_Alt_R, XK_Meta_R, false)));  // VK_MENU
    EXPECT_EQ(keys::key('A'), unsidedKey(keys::key('A')));
}

TEST(KeyMappingLinux, OtherKeysTheControlsAndTheEditBoxUse) {
    EXPECT_EQ(keys::kEscape, virtualKeyOf(XK_Escape, kNoSymbol, false));
    EXPECT_EQ(keys::kF5, virtualKeyOf(XK_F5, XK_F5, false));
    EXPECT_EQ(keys::kLeft, virtualKeyOf(XK_Left, kNoSymbol, true));
    EXPECT_EQ(keys::kUp, virtualKeyOf(XK_Up, kNoSymbol, true));
    EXPECT_EQ(0x08, virtualKeyOf(XK_BackSpace, XK_BackSpace, false));  // VK_BACK
    EXPECT_EQ(0x2E, virtualKeyOf(XK_Delete, kNoSymbol, false));        // VK_DELETE
    EXPECT_EQ(0x24, virtualKeyOf(XK_Home, kNoSymbol, false));          // VK_HOME
    EXPECT_EQ(0x23, virtualKeyOf(XK_End, kNoSymbol, false));           // VK_END
    // Keys without a virtual key of their own, and no key at all.
    EXPECT_EQ(0, virtualKeyOf(XK_Katakana, kNoSymbol, false));
    EXPECT_EQ(0, virtualKeyOf(kNoSymbol, kNoSymbol, true));
}

}  // namespace
