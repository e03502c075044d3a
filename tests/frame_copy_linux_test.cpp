// The Linux program's copy of a part of the compositor's frame into the
// grab's rows (wlr-screencopy buffers and PipeWire frames, scaled outputs).
#include "platform/linux/frame_copy_linux.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::GrabLayout;
using platform::compositor::copyFrameArea;
using platform::compositor::FrameArea;
using platform::compositor::FrameView;

// A frame whose pixel (x, y) has the bytes x, y, 100 + x + y, 0xFF in
// memory, rows padded to `stride`.
struct Frame {
    Frame(int32_t width, int32_t height, size_t stride) : bytes(stride * height, 0xEE) {
        view = {bytes.data(), width, height, stride, false, false};
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                uint8_t* pixel = bytes.data() + stride * y + x * 4;
                pixel[0] = static_cast<uint8_t>(x);
                pixel[1] = static_cast<uint8_t>(y);
                pixel[2] = static_cast<uint8_t>(100 + x + y);
                pixel[3] = 0xFF;
            }
    }
    std::vector<uint8_t> bytes;
    FrameView view;
};

// The grab's pixel (x, y from the top) as blue, green, red.
std::vector<int> pixelAt(const std::vector<uint8_t>& grab, const GrabLayout& layout, int x, int y) {
    const uint8_t* at = grab.data() + layout.stride * (layout.height - 1 - y) + x * 3;
    return {at[0], at[1], at[2]};
}

TEST(FrameCopyLinux, AnUnscaledPartComesPixelForPixelBottomUpAndPadded) {
    const Frame frame(8, 6, 40);
    const GrabLayout layout = *platform::grabLayout({0, 0, 3, 2}, 1000);  // rows of 9 + 3 bytes
    std::vector<uint8_t> grab(layout.bytes, 0x55);
    copyFrameArea(frame.view, {2, 3, 3, 2}, layout, grab.data());
    EXPECT_EQ(pixelAt(grab, layout, 0, 0), (std::vector<int>{2, 3, 105}));
    EXPECT_EQ(pixelAt(grab, layout, 2, 1), (std::vector<int>{4, 4, 108}));
    for (int row = 0; row < 2; ++row)
        for (int pad = 9; pad < 12; ++pad) EXPECT_EQ(grab[row * 12 + pad], 0) << row << " " << pad;

    // Red first, and a frame stored bottom row first.
    FrameView turned = frame.view;
    turned.redFirst = true;
    turned.bottomUp = true;
    copyFrameArea(turned, {2, 3, 3, 2}, layout, grab.data());
    EXPECT_EQ(pixelAt(grab, layout, 0, 0), (std::vector<int>{104, 2, 2}));  // frame row 6-1-3
}

TEST(FrameCopyLinux, AScaledFrameGivesThePixelUnderEachCentre) {
    const Frame frame(8, 8, 32);
    const GrabLayout layout = *platform::grabLayout({0, 0, 2, 2}, 1000);
    std::vector<uint8_t> grab(layout.bytes);
    // Scale 2: grab pixel 0 covers frame pixels 2 and 3 and takes 3.
    copyFrameArea(frame.view, {2, 2, 4, 4}, layout, grab.data());
    EXPECT_EQ(pixelAt(grab, layout, 0, 0), (std::vector<int>{3, 3, 106}));
    EXPECT_EQ(pixelAt(grab, layout, 1, 1), (std::vector<int>{5, 5, 110}));
    // Scale 1.5: centres at 0.75 and 2.25.
    copyFrameArea(frame.view, {0, 0, 3, 3}, layout, grab.data());
    EXPECT_EQ(pixelAt(grab, layout, 1, 0), (std::vector<int>{2, 0, 102}));
}

TEST(FrameCopyLinux, WhatLiesOffTheFrameIsBlack) {
    const Frame frame(4, 4, 16);
    const GrabLayout layout = *platform::grabLayout({0, 0, 3, 3}, 1000);
    std::vector<uint8_t> grab(layout.bytes, 0x55);
    copyFrameArea(frame.view, {-1, 2, 3, 3}, layout, grab.data());
    EXPECT_EQ(pixelAt(grab, layout, 0, 0), (std::vector<int>{0, 0, 0}));  // left of it
    EXPECT_EQ(pixelAt(grab, layout, 1, 1), (std::vector<int>{0, 3, 103}));
    EXPECT_EQ(pixelAt(grab, layout, 2, 2), (std::vector<int>{0, 0, 0}));  // below it
}

}  // namespace
