#include "capture/frame_timing.h"

#if defined(T462_MEASURE)

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "platform/graphics.h"

namespace frame_timing {
namespace {

using Clock = std::chrono::steady_clock;  // QueryPerformanceCounter on Windows

long long now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

constexpr long long kReportEvery = 2'000'000'000;  // ns

struct Totals {
    std::array<long long, static_cast<size_t>(Phase::count)> phase{};
    long long frames = 0;
    long long since = 0;
};

Totals totals;

const char* const kPhaseNames[] = {"grab", "write", "mesh", "texture", "capture", "controls"};

void report(long long at) {
    std::FILE* log = std::fopen("t462-timing.log", "a");
    if (log == nullptr) return;
    const double seconds = static_cast<double>(at - totals.since) / 1e9;
    const double frames = static_cast<double>(totals.frames);
    const double frameMs = seconds * 1000.0 / frames;
    std::fprintf(log, "fps %.1f frame_ms %.3f", frames / seconds, frameMs);
    double measured = 0;
    for (size_t i = 0; i < totals.phase.size(); ++i) {
        const double ms = static_cast<double>(totals.phase[i]) / 1e6 / frames;
        std::fprintf(log, " %s_ms %.3f", kPhaseNames[i], ms);
        if (i >= static_cast<size_t>(Phase::capture)) measured += ms;
    }
    // What is left of the frame: begin, clear, the scene, end and present.
    std::fprintf(log, " draw_ms %.3f frames %lld\n", frameMs - measured, totals.frames);
    std::fclose(log);
}

}  // namespace

Timed::Timed(Phase phase) : phase_(phase), start_(now()) {}
Timed::~Timed() { totals.phase[static_cast<size_t>(phase_)] += now() - start_; }

void frameStarted() {
    const long long at = now();
    if (totals.since == 0) {
        totals.since = at;
        return;
    }
    ++totals.frames;
    if (at - totals.since < kReportEvery) return;
    report(at);
    totals = Totals{};
    totals.since = at;
}

}  // namespace frame_timing

// The measurement build links with --wrap for the two loaders, so that every
// call the model makes passes through here (cmake/measure.cmake).
extern "C" {
int32_t
__real__ZN8platform17D3DXLoadMeshFromXEPKcjPNS_15Direct3DDevice9EPPNS_10D3DXBufferES6_S6_PjPPNS_8D3DXMeshE(
    const char*, uint32_t, platform::Direct3DDevice9*, platform::D3DXBuffer**,
    platform::D3DXBuffer**, platform::D3DXBuffer**, uint32_t*, platform::D3DXMesh**);
int32_t
__wrap__ZN8platform17D3DXLoadMeshFromXEPKcjPNS_15Direct3DDevice9EPPNS_10D3DXBufferES6_S6_PjPPNS_8D3DXMeshE(
    const char* fileName, uint32_t options, platform::Direct3DDevice9* device,
    platform::D3DXBuffer** adjacency, platform::D3DXBuffer** materials,
    platform::D3DXBuffer** effects, uint32_t* count, platform::D3DXMesh** mesh) {
    const frame_timing::Timed timed(frame_timing::Phase::meshLoad);
    return __real__ZN8platform17D3DXLoadMeshFromXEPKcjPNS_15Direct3DDevice9EPPNS_10D3DXBufferES6_S6_PjPPNS_8D3DXMeshE(
        fileName, options, device, adjacency, materials, effects, count, mesh);
}

int32_t
__real__ZN8platform25D3DXCreateTextureFromFileEPNS_15Direct3DDevice9EPKcPPNS_16Direct3DTexture9E(
    platform::Direct3DDevice9*, const char*, platform::Direct3DTexture9**);
int32_t
__wrap__ZN8platform25D3DXCreateTextureFromFileEPNS_15Direct3DDevice9EPKcPPNS_16Direct3DTexture9E(
    platform::Direct3DDevice9* device, const char* fileName, platform::Direct3DTexture9** texture) {
    const frame_timing::Timed timed(frame_timing::Phase::textureLoad);
    return __real__ZN8platform25D3DXCreateTextureFromFileEPNS_15Direct3DDevice9EPKcPPNS_16Direct3DTexture9E(
        device, fileName, texture);
}
}

#endif
