// Times regionFromBitmap for the panel's skin on the real window system: a
// pop-up of the panel's styles and size, the skin loaded as the panel loads
// it, then the whole call (geometry, pixels, one region subtraction per run)
// repeated. Prints the first (the panel makes only that one), the mean and the
// fastest call.
//
// Build with the Windows backend (from the repository root), run in the
// folder that holds 枠.bmp:
//   x86_64-w64-mingw32-g++ -O2 -std=c++20 -static -Isrc tools/time-window-shape.cpp
//       src/panel/window_shape.cpp src/platform/win32/gdi_win32.cpp
//       src/platform/win32/window_system_win32.cpp
//       src/platform/win32/window_procedures_win32.cpp src/platform/win32/process_win32.cpp
//       -lgdi32 -luser32 -lcomctl32 -o time-window-shape.exe
//   wine time-window-shape.exe [repetitions]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "panel/window_shape.h"
#include "platform/window_system.h"

namespace {

intptr_t plainProcedure(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) {
    return platform::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    platform::InstanceHandle instance = platform::GetModuleHandleA(nullptr);
    platform::WindowClass windowClass{};
    windowClass.size = 48;
    windowClass.procedure = plainProcedure;
    windowClass.instance = instance;
    windowClass.className = "SHAPETIMER";
    platform::RegisterClassExA(&windowClass);
    platform::WindowHandle window = platform::CreateWindowExA(
        0, "SHAPETIMER", "shape timer", 0x90840000, 0, 0, 177, 152, nullptr, 0, instance, nullptr);
    platform::GdiObject skin =
        platform::LoadImageA(nullptr, "\x98\x67.bmp", 0, 0, 0, 0x50);  // 枠.bmp
    if (window == nullptr || skin == nullptr) {
        std::printf("no window or no 枠.bmp\n");
        return 1;
    }

    using Clock = std::chrono::steady_clock;
    double total = 0;
    double fastest = 1e30;
    double first = 0;
    for (int i = 0; i < repetitions; ++i) {
        const auto start = Clock::now();
        platform::GdiObject region = regionFromBitmap(window, kKeyFromPicture, skin);
        const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        platform::DeleteObject(region);
        if (i == 0) first = us;
        total += us;
        fastest = std::min(fastest, us);
    }
    // And once for real, as the panel does, so the shape can be looked at.
    platform::SetWindowRgn(window, regionFromBitmap(window, kKeyFromPicture, skin), true);
    std::printf(
        "regionFromBitmap with the skin: first %.1f us, mean %.1f us, fastest %.1f us over %d "
        "calls\n",
        first, total / repetitions, fastest, repetitions);
    platform::DestroyWindow(window);
    return 0;
}
