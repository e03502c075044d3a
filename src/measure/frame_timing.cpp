#include "measure/frame_timing.h"

#if defined(T462_MEASURE)

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>

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

#endif
