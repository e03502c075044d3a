// The rules of the keyboard pass as a pure step: the keys that are down and
// the panel's window rectangle in, the changed viewer state and the requests
// the pass must perform out. No platform call happens here.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>

#include "controls/virtual_keys.h"
#include "platform/types.h"

struct ViewerState;

// The keys that are down, by virtual-key code.
class KeySet {
public:
    KeySet() = default;
    KeySet(std::initializer_list<int32_t> down) {
        for (int32_t key : down) press(key);
    }
    void press(int32_t key) {
        if (key >= 0 && key < kKeys) down_.set(static_cast<size_t>(key));
    }
    bool isDown(int32_t key) const {
        return key >= 0 && key < kKeys && down_.test(static_cast<size_t>(key));
    }

private:
    static constexpr int32_t kKeys = 256;
    std::bitset<kKeys> down_;
};

// Every key the pass samples, in the order the pass tests them.
inline constexpr std::array kBoundKeys{
    keys::kEscape,      keys::kNumpad2,      keys::kNumpad8,  keys::kNumpad1,   keys::kNumpad9,
    keys::key('D'),     keys::key('A'),      keys::key('W'),  keys::key('S'),   keys::key('Q'),
    keys::key('E'),     keys::key('Z'),      keys::key('C'),  keys::key('8'),   keys::key('I'),
    keys::key('9'),     keys::key('O'),      keys::key('0'),  keys::key('P'),   keys::key('7'),
    keys::key('U'),     keys::key('1'),      keys::key('2'),  keys::key('3'),   keys::key('4'),
    keys::key('5'),     keys::key('6'),      keys::kNumpad6,  keys::kNumpad4,   keys::kNumpad7,
    keys::kNumpad3,     keys::kAdd,          keys::kSubtract, keys::kLeftShift, keys::kRightShift,
    keys::kLeftControl, keys::kRightControl, keys::kDivide,   keys::kMultiply,  keys::kF5,
    keys::kLeft,        keys::kRight,        keys::kUp,       keys::kDown,
};

// A move of the control panel, as MoveWindow takes it.
struct PanelMove {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    friend bool operator==(const PanelMove&, const PanelMove&) = default;
};

// What the pass asks for, performed in this order: quit, snapshot, moves.
struct KeyRequests {
    bool quit = false;
    bool snapshot = false;
    size_t moveCount = 0;
    std::array<PanelMove, 4> moves{};  // Left, Right, Up, Down, as far as asked
};

// Applies one frame's keys to `state`. `panelRect` is the panel's window
// rectangle as just fetched; the arrows shift it one pixel on the frame where
// they go down and ask for the panel to follow.
KeyRequests applyKeys(const KeySet& down, ViewerState& state, const platform::Rect& panelRect);
