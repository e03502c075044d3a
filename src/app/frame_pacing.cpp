#include "app/frame_pacing.h"

#include "controls/viewer_state.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

bool frameDue() {
    ViewerState& state = viewerState();
    if (!platform::IsIconic(state.displayWindow)) return true;
    const uint64_t now = platform::monotonicMicroseconds();
    const uint64_t since = now - state.minimisedFrameStart;
    if (state.minimisedFrameStart != 0 && since < kMinimisedFramePeriod) {
        const uint64_t rest = kMinimisedFramePeriod - since;
        platform::MsgWaitForMultipleObjects(static_cast<uint32_t>((rest + 999) / 1000),
                                            platform::QS_ALLINPUT);
        return false;
    }
    state.minimisedFrameStart = now;
    return true;
}
