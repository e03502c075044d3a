#include "controls/keyboard.h"

#include "capture/screen_capture.h"
#include "controls/apply_keys.h"
#include "controls/viewer_state.h"
#include "measure/frame_timing.h"
#include "platform/window_system.h"

namespace {

KeySet sampleKeys() {
    KeySet down;
    for (int32_t key : kBoundKeys) {
        const int16_t keyState = keys::readsPhysicalState(key) ? platform::GetAsyncKeyState(key)
                                                               : platform::GetKeyState(key);
        if (keyState < 0) down.press(key);
    }
    return down;
}

}  // namespace

void pollControls() {
    const frame_timing::Timed timed(frame_timing::Phase::controls);
    ViewerState& state = viewerState();
    const KeySet down = sampleKeys();
    // If the rectangle cannot be fetched, the last one fetched is used.
    platform::Rect panelRect = state.panelRect;
    platform::GetWindowRect(state.panelWindow, &panelRect);
    const KeyRequests requests = applyKeys(down, state, panelRect);

    if (requests.quit) platform::PostQuitMessage(0);
    if (requests.snapshot) {
        state.captureMode = 2;
        captureScreen();
    }
    for (size_t i = 0; i < requests.moveCount; ++i) {
        const PanelMove& move = requests.moves[i];
        platform::MoveWindow(state.panelWindow, move.x, move.y, move.width, move.height, true);
    }
}
