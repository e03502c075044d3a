// The grab from a wlroots compositor (sway, Hyprland, labwc, Wayfire, river):
// wlr-screencopy's capture_output_region into shared memory, on the output
// under the grabbed rectangle.
//
// The compositor copies at its next output frame, so the grab never waits
// for it: each output keeps the newest copy it delivered and one copy in
// flight, and a grab hands over the newest and asks for the next. Two
// shared-memory buffers an output, made again only when the size changes.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/types.h"
#include "platform/window_system.h"

namespace platform::compositor {

class Screencopy {
public:
    // Connects to the compositor of WAYLAND_DISPLAY; null where there is
    // none or it lacks wlr-screencopy, xdg-output or wl_shm.
    static std::unique_ptr<Screencopy> connect();
    ~Screencopy();
    Screencopy(const Screencopy&) = delete;
    Screencopy& operator=(const Screencopy&) = delete;

    // The newest copy of `area` (X root coordinates, which are the layout's
    // logical coordinates) into `pixels`; 0 while none of that size has come
    // or the area lies on no output.
    uint32_t grab(const Rect& area, const GrabLayout& layout, uint8_t* pixels);

    struct Session;

private:
    explicit Screencopy(std::unique_ptr<Session> session);
    std::unique_ptr<Session> session_;
};

}  // namespace platform::compositor
