// The Linux program's reading of X keys as the virtual keys the controls
// poll (controls/virtual_keys.h).
#include "platform/linux/key_mapping_linux.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include "controls/virtual_keys.h"

namespace {

using platform::x11::isLatinLayout;
using platform::x11::KeySymbols;
using platform::x11::unsidedKey;
using platform::x11::virtualKeyOf;

constexpr uint32_t kNoSymbol = 0;  // a level without a keysym

// A key of one group in a Latin layout, known by its first two levels.
int32_t plainKey(uint32_t plain, uint32_t shifted, bool numLock) {
    return virtualKeyOf(KeySymbols{{{plain, shifted}}, ""}, true, numLock);
}

TEST(KeyMappingLinux, LettersAndMainDigitsAreTheirCodesOnEveryLevel) {
    EXPECT_EQ(keys::key('A'), plainKey(XK_a, XK_A, false));
    EXPECT_EQ(keys::key('Z'), plainKey(XK_z, XK_Z, true));
    EXPECT_EQ(keys::key('Q'), plainKey(XK_Q, XK_q, false));  // caps-first layouts
    EXPECT_EQ(keys::key('1'), plainKey(XK_1, XK_exclam, false));
    EXPECT_EQ(keys::key('0'), plainKey(XK_0, XK_parenright, true));
    EXPECT_EQ(keys::key('7'), plainKey(XK_7, XK_ampersand, false));
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
        {XK_KP_Home, XK_KP_7, keys::kNumpad7, platform::VK_HOME},
        {XK_KP_Prior, XK_KP_9, keys::kNumpad9, platform::VK_PRIOR},
        {XK_KP_End, XK_KP_1, keys::kNumpad1, platform::VK_END},
        {XK_KP_Next, XK_KP_3, keys::kNumpad3, platform::VK_NEXT},
        {XK_KP_Insert, XK_KP_0, keys::kNumpad0, platform::VK_INSERT},
        {XK_KP_Begin, XK_KP_5, keys::kNumpad0 + 5, platform::VK_CLEAR},
    };
    for (const Key& key : keypad) {
        EXPECT_EQ(key.withNumLock, plainKey(key.plain, key.shifted, true)) << key.shifted;
        EXPECT_EQ(key.without, plainKey(key.plain, key.shifted, false)) << key.plain;
    }
    // The operators do not depend on Num Lock.
    for (const bool numLock : {false, true}) {
        EXPECT_EQ(keys::kMultiply, plainKey(XK_KP_Multiply, XK_KP_Multiply, numLock));
        EXPECT_EQ(keys::kAdd, plainKey(XK_KP_Add, XK_KP_Add, numLock));
        EXPECT_EQ(keys::kSubtract, plainKey(XK_KP_Subtract, XK_KP_Subtract, numLock));
        EXPECT_EQ(keys::kDivide, plainKey(XK_KP_Divide, XK_KP_Divide, numLock));
    }
}

TEST(KeyMappingLinux, ModifierSidesApartAndTogether) {
    EXPECT_EQ(keys::kLeftShift, plainKey(XK_Shift_L, kNoSymbol, false));
    EXPECT_EQ(keys::kRightShift, plainKey(XK_Shift_R, kNoSymbol, false));
    EXPECT_EQ(keys::kLeftControl, plainKey(XK_Control_L, kNoSymbol, false));
    EXPECT_EQ(keys::kRightControl, plainKey(XK_Control_R, kNoSymbol, false));
    EXPECT_EQ(platform::VK_SHIFT, unsidedKey(keys::kLeftShift));
    EXPECT_EQ(platform::VK_SHIFT, unsidedKey(keys::kRightShift));
    EXPECT_EQ(platform::VK_CONTROL, unsidedKey(keys::kLeftControl));
    EXPECT_EQ(platform::VK_CONTROL, unsidedKey(keys::kRightControl));
    EXPECT_EQ(platform::VK_MENU, unsidedKey(plainKey(XK_Alt_R, XK_Meta_R, false)));
    EXPECT_EQ(keys::key('A'), unsidedKey(keys::key('A')));
}

TEST(KeyMappingLinux, OtherKeysTheControlsAndTheEditBoxUse) {
    EXPECT_EQ(keys::kEscape, plainKey(XK_Escape, kNoSymbol, false));
    EXPECT_EQ(keys::kF5, plainKey(XK_F5, XK_F5, false));
    EXPECT_EQ(keys::kLeft, plainKey(XK_Left, kNoSymbol, true));
    EXPECT_EQ(keys::kUp, plainKey(XK_Up, kNoSymbol, true));
    EXPECT_EQ(platform::VK_BACK, plainKey(XK_BackSpace, XK_BackSpace, false));
    EXPECT_EQ(platform::VK_DELETE, plainKey(XK_Delete, kNoSymbol, false));
    EXPECT_EQ(platform::VK_HOME, plainKey(XK_Home, kNoSymbol, false));
    EXPECT_EQ(platform::VK_END, plainKey(XK_End, kNoSymbol, false));
    // Keys without a virtual key of their own, and no key at all.
    EXPECT_EQ(0, plainKey(XK_Katakana, kNoSymbol, false));
    EXPECT_EQ(0, plainKey(kNoSymbol, kNoSymbol, true));
}

// Keys as a layout's keyboard map gives them: keysyms by group and level,
// the key's place.
KeySymbols key(std::vector<std::vector<uint32_t>> groups, const char* name) {
    return {std::move(groups), name};
}

TEST(KeyMappingLinux, LatinLayoutsGoByTheLabels) {
    constexpr bool kLatin = true;
    // AZERTY: the top row is 1..0 (its digits are shifted), A and Q trade
    // places, and the comma at the US M's place is no M.
    EXPECT_EQ(keys::key('1'), virtualKeyOf(key({{XK_ampersand, XK_1}}, "AE01"), kLatin, false));
    EXPECT_EQ(keys::key('2'),
              virtualKeyOf(key({{XK_eacute, XK_2, XK_asciitilde}}, "AE02"), kLatin, false));
    EXPECT_EQ(keys::key('0'), virtualKeyOf(key({{XK_agrave, XK_0, XK_at}}, "AE10"), kLatin, false));
    EXPECT_EQ(keys::key('A'), virtualKeyOf(key({{XK_a, XK_A}}, "AD01"), kLatin, false));
    EXPECT_EQ(platform::VK_OEM_COMMA,
              virtualKeyOf(key({{XK_comma, XK_question}}, "AB07"), kLatin, false));
    // QWERTZ: Z and Y as labelled.
    EXPECT_EQ(keys::key('Z'), virtualKeyOf(key({{XK_z, XK_Z}}, "AD06"), kLatin, false));
    EXPECT_EQ(keys::key('Y'), virtualKeyOf(key({{XK_y, XK_Y}}, "AB01"), kLatin, false));
    // Two layouts: the one in use (listed first) labels the key.
    EXPECT_EQ(keys::key('Y'),
              virtualKeyOf(key({{XK_y, XK_Y}, {XK_z, XK_Z}}, "AB01"), kLatin, false));
}

TEST(KeyMappingLinux, OtherScriptsGoByPlace) {
    constexpr bool kOther = false;
    // Russian: letters by their US places, punctuation places too; digits as
    // they are.
    EXPECT_EQ(keys::key('Q'),
              virtualKeyOf(key({{XK_Cyrillic_shorti, XK_Cyrillic_SHORTI}}, "AD01"), kOther, false));
    EXPECT_EQ(keys::key('U'),
              virtualKeyOf(key({{XK_Cyrillic_ghe, XK_Cyrillic_GHE}}, "AD07"), kOther, false));
    EXPECT_EQ(platform::VK_OEM_COMMA,
              virtualKeyOf(key({{XK_Cyrillic_be, XK_Cyrillic_BE}}, "AB08"), kOther, false));
    EXPECT_EQ(keys::key('1'), virtualKeyOf(key({{XK_1, XK_exclam}}, "AE01"), kOther, false));
    // Greek: the ';' at Q's place is Q.
    EXPECT_EQ(keys::key('Q'), virtualKeyOf(key({{XK_semicolon, XK_colon}}, "AD01"), kOther, false));
    EXPECT_EQ(
        keys::key('W'),
        virtualKeyOf(key({{XK_Greek_finalsmallsigma, XK_Greek_SIGMA}}, "AD02"), kOther, false));
    // Russian in use beside US: the US letter of the key.
    EXPECT_EQ(keys::key('U'),
              virtualKeyOf(key({{XK_Cyrillic_ghe, XK_Cyrillic_GHE}, {XK_u, XK_U}}, "AD07"), kOther,
                           false));
    // Keypad and function keys whatever the script; no key without a place.
    const KeySymbols keypad8 = key({{XK_KP_Up, XK_KP_8}}, "KP8");
    EXPECT_EQ(keys::kNumpad8, virtualKeyOf(keypad8, kOther, true));
    EXPECT_EQ(keys::kUp, virtualKeyOf(keypad8, kOther, false));
    EXPECT_EQ(keys::kF5, virtualKeyOf(key({{XK_F5, XK_F5}}, "FK05"), kOther, false));
    EXPECT_EQ(0, virtualKeyOf(key({{XK_Katakana}}, "HKTG"), kOther, false));
}

TEST(KeyMappingLinux, ALayoutIsLatinWhenMostLetterPlacesAre) {
    const char* const places[] = {"AD01", "AD02", "AD03", "AD04", "AD05", "AD06", "AD07",
                                  "AD08", "AD09", "AD10", "AC01", "AC02", "AC03", "AC04",
                                  "AC05", "AC06", "AC07", "AC08", "AC09", "AB01", "AB02",
                                  "AB03", "AB04", "AB05", "AB06", "AB07"};
    std::vector<KeySymbols> azerty;
    std::vector<KeySymbols> russian;
    for (const char* place : places) {
        azerty.push_back(key({{XK_a, XK_A}}, place));
        russian.push_back(key({{XK_Cyrillic_a, XK_Cyrillic_A}}, place));
    }
    azerty.back() = key({{XK_comma, XK_question}}, "AB07");
    russian.front() = key({{XK_semicolon, XK_colon}}, "AD01");  // Greek-like
    russian.push_back(key({{XK_1, XK_exclam}}, "AE01"));        // no letter place
    EXPECT_TRUE(isLatinLayout(azerty));
    EXPECT_FALSE(isLatinLayout(russian));
    EXPECT_TRUE(isLatinLayout({}));  // no names to tell: by the labels
}

}  // namespace
