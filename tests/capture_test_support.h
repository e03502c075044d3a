// A control panel with a prefix box in the fake window system, a screen with
// a recognisable pattern, and the expected bytes of grabbed pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "controls/viewer_state.h"
#include "fake/fake_platform.h"
#include "fake_test_support.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace capture_test {

// "フィルター.bmp"
inline const std::string kFeedbackName = "\x83\x74\x83\x42\x83\x8b\x83\x5e\x81\x5b.bmp";
// "抜き取り画像保存フォルダ/"
inline const std::string kSaveFolder =
    "\x94\xb2\x82\xab\x8e\xe6\x82\xe8\x89\xe6\x91\x9c\x95\xdb\x91\xb6"
    "\x83\x74\x83\x48\x83\x8b\x83\x5f/";

// Every on-screen pixel tells where it is: blue = x, green = y (low bytes),
// red = 0x80, so an off-screen (black) pixel is told apart by its red.
inline uint32_t patternColour(int32_t x, int32_t y) {
    return 0x800000u | (static_cast<uint32_t>(y & 0xFF) << 8) | static_cast<uint32_t>(x & 0xFF);
}

class CaptureTest : public fake_test::FakeTest {
protected:
    void SetUp() override {
        FakeTest::SetUp();
        fake::state().screenPixel = patternColour;
        fake::state().meshFiles["model.x"] = fake::MeshFile{
            {fake::MeshMaterialSpec{fake::material(1, 1, 1), kFeedbackName}}, true, true, 0};
        fake::state().textureFiles.insert(kFeedbackName);
        openPanel(0, 0, 177, 152);
    }

    // The panel at (x, y), width × height, with an empty prefix box.
    void openPanel(int32_t x, int32_t y, int32_t width, int32_t height) {
        ViewerState& state = viewerState();
        state.panelWindow = platform::CreateWindowExA(0, "NORMAL1", "com", 0x90840000, x, y, width,
                                                      height, nullptr, 0, nullptr, nullptr);
        prefixBox = platform::CreateWindowExA(platform::WS_EX_CLIENTEDGE, "EDIT", "",
                                              platform::WS_CHILD | platform::WS_VISIBLE, 56, 2, 117,
                                              16, state.panelWindow, 1002, nullptr, nullptr);
        fake::state().clearLog();
    }
    void movePanel(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        fake::state().windows[viewerState().panelWindow].rect = {left, top, right, bottom};
    }
    void typePrefix(const std::string& text) { fake::state().windows[prefixBox].text = text; }

    const std::vector<uint8_t>* file(const std::string& name) const {
        auto found = fake::state().files.find(name);
        return found == fake::state().files.end() ? nullptr : &found->second;
    }

    platform::WindowHandle prefixBox = nullptr;
};

// Reads a little-endian number from a file's bytes.
inline uint32_t read32(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
           (static_cast<uint32_t>(bytes[at + 3]) << 24);
}
inline uint16_t read16(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

}  // namespace capture_test
