// The fixture of the unit tests that drive the program through the recording
// fake, and the start-ups several of them share.
#pragma once

#include <gtest/gtest.h>

#include "controls/viewer_state.h"
#include "fake/fake_platform.h"
#include "panel/panel_window.h"
#include "platform/window_system.h"
#include "render/graphics_device.h"

namespace fake_test {

// A fresh state, then a fresh fake: the state is cleared while the fake
// objects it may still refer to are alive.
inline void resetStateAndFake() {
    viewerState() = ViewerState{};
    fake::reset();
}

// Fresh state and fresh fake around every test.
class FakeTest : public ::testing::Test {
protected:
    void SetUp() override { resetStateAndFake(); }
    void TearDown() override { resetStateAndFake(); }
};

// The graphics chain brought up without a window, at the back buffer's size.
inline bool startGraphics() { return initGraphics(nullptr, 594, 578); }

// The panel's window class, under the name the program gives it.
inline void registerPanelClass() {
    platform::WindowClass windowClass{};
    windowClass.procedure = panelWindowProc;
    windowClass.className = "NORMAL1";
    platform::RegisterClassExA(&windowClass);
}

}  // namespace fake_test
