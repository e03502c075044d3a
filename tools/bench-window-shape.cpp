// Benchmark of the window-shape scan for the panel's skin: the work that
// regionFromBitmap does besides its platform calls.
//
// Build and run from the repository root (the scan alone; the platform part is
// left out by the linker):
//   c++ -O2 -std=c++20 -ffunction-sections -Wl,--gc-sections -Isrc
//       tools/bench-window-shape.cpp src/panel/window_shape.cpp
//       -lbenchmark -lpthread -o /tmp/bench-window-shape
//   /tmp/bench-window-shape [skin.bmp]
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "panel/window_shape.h"

namespace {

std::string skinPath = "assets/\xe6\x9e\xa0.bmp";  // 枠.bmp, UTF-8 on this file system

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // 32-bit, bottom-up, as GetDIBits gives them
};

uint32_t readLe(const std::vector<uint8_t>& data, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | data.at(at + i);
    return value;
}

// Reads a bottom-up 24-bit BMP into 32-bit pixels with a zero fourth byte.
Picture loadSkin(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    Picture picture;
    if (data.size() < 54 || readLe(data, 28, 2) != 24) return picture;
    picture.width = static_cast<int32_t>(readLe(data, 18, 4));
    picture.height = static_cast<int32_t>(readLe(data, 22, 4));
    const size_t offset = readLe(data, 10, 4);
    const size_t stride = (static_cast<size_t>(picture.width) * 3 + 3) / 4 * 4;
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    for (int32_t row = 0; row < picture.height; ++row)
        for (int32_t x = 0; x < picture.width; ++x) {
            const size_t at = offset + row * stride + x * 3;
            picture.pixels[static_cast<size_t>(row) * picture.width + x] = readLe(data, at, 3);
        }
    return picture;
}

void skinShape(benchmark::State& state) {
    const Picture skin = loadSkin(skinPath);
    if (skin.pixels.empty()) {
        state.SkipWithError("cannot read the skin");
        return;
    }
    size_t cuts = 0;
    for (auto _ : state) {
        const WindowShape shape =
            shapeFromPixels(skin.pixels.data(), skin.width, skin.height, kKeyFromPicture, {4, 4});
        cuts = shape.cuts.size();
        benchmark::DoNotOptimize(shape.cuts.data());
    }
    state.counters["runs"] = static_cast<double>(cuts);
    state.counters["pixels"] = static_cast<double>(skin.pixels.size());
}
BENCHMARK(skinShape);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc > 1) skinPath = argv[1];
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
