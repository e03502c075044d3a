// How long the capture's portable work takes per frame: writing the grabbed
// image as a BMP file (through a platform whose files stay in memory) and the
// keyboard pass's rules.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "capture/bmp_file.h"
#include "capture/capture_area.h"
#include "controls/apply_keys.h"
#include "controls/viewer_state.h"
#include "controls/virtual_keys.h"
#include "fake/fake_platform.h"

namespace {

// One frame's file: the panel's 138 × 111 grab, or larger ones.
void BM_WriteBmpFile(benchmark::State& run) {
    const auto width = static_cast<int32_t>(run.range(0));
    const auto height = static_cast<int32_t>(run.range(1));
    const auto size = static_cast<uint32_t>(bmpImageSize(width, height));
    const std::vector<uint8_t> pixels(size, 0x5A);
    fake::reset();
    int64_t written = 0;
    for (auto _ : run) {
        benchmark::DoNotOptimize(writeBmpFile("bench.bmp", width, height, pixels.data(), size));
        fake::state().clearLog();
        written += kBmpPixelOffset + size;
    }
    run.SetBytesProcessed(written);
    fake::reset();
}
BENCHMARK(BM_WriteBmpFile)->Args({138, 111})->Args({640, 480})->Args({1920, 1080});

// Placing a part grabbed near the screen's corner into the whole image.
void BM_PlaceGrab(benchmark::State& run) {
    const CaptureArea area{-65, -13, 138, 111};
    const platform::Rect part{0, 0, 73, 98};
    std::vector<uint8_t> grabbed(bmpImageSize(73, 98), 0x33);
    std::vector<uint8_t> image(captureImageSize(area), 0);
    for (auto _ : run) {
        placeGrab(area, part, grabbed.data(), image.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlaceGrab);

// The keyboard pass's rules with no key, and with a key of every group down.
void BM_ApplyKeys(benchmark::State& run) {
    const bool busy = run.range(0) != 0;
    KeySet down;
    if (busy)
        for (int32_t key :
             {keys::kNumpad8, keys::kNumpad9, keys::key('D'), keys::key('E'), keys::key('8'),
              keys::key('O'), keys::key('U'), keys::key('2'), keys::kNumpad6, keys::kAdd,
              keys::kLeftShift, keys::kLeftControl, keys::kDivide, keys::kLeft, keys::kUp})
            down.press(key);
    ViewerState state;
    const platform::Rect panel{0, 0, 177, 152};
    for (auto _ : run) {
        KeyRequests requests = applyKeys(down, state, panel);
        benchmark::DoNotOptimize(requests);
        benchmark::DoNotOptimize(state.cameraEye);
    }
}
BENCHMARK(BM_ApplyKeys)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
