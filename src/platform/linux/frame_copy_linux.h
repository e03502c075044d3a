// A part of a frame the Wayland compositor hands over (a wlr-screencopy buffer
// or a PipeWire frame: 32-bit pixels) copied into the grab's rows. Shared by
// both ways of grabbing from the compositor; needs no system header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/window_system.h"

namespace platform::compositor {

// A frame of 32-bit pixels: blue, green, red, unused (XRGB8888 and
// ARGB8888 on a little-endian host, BGRx in PipeWire's names), or red
// first (XBGR8888, RGBx).
struct FrameView {
    const uint8_t* data = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    size_t stride = 0;  // bytes from one row to the next
    bool redFirst = false;
    bool bottomUp = false;  // the first row is the bottom one (wlr-screencopy's y_invert)
};

// A rectangle of a frame in its pixels: fractional where the output is
// scaled, as the output's pixels are finer than the layout's.
struct FrameArea {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// Fills the layout.width x layout.height pixels of a grab from `source`:
// each takes the frame pixel under its centre, and one off the frame is
// black. The rows are bottom-up and padded with zeros, as grabScreen writes
// them.
void copyFrameArea(const FrameView& frame, const FrameArea& source, const GrabLayout& layout,
                   uint8_t* pixels);

}  // namespace platform::compositor
