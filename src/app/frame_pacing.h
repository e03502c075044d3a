// Pacing of the frame loop while the display window is minimised: the present
// then no longer waits for the display's refresh, and the loop would rewrite
// the feedback image as fast as the disk allows.
#pragma once

#include <cstdint>

// About one display refresh.
inline constexpr uint64_t kMinimisedFramePeriod = 16667;  // microseconds

// Whether a frame is due now. While the display window is minimised, a frame
// is due once a frame period has passed since the last minimised frame began;
// before that this waits for messages until it has, and reports none due, so
// that the loop handles what came and asks again.
bool frameDue();
