// Where a frame's time goes, for the measurement builds only (T462_MEASURE,
// see tools/measure-fps.sh). In the program as shipped every piece here is
// empty and costs nothing.
#pragma once

namespace frame_timing {

enum class Phase { grab, fileWrite, meshLoad, textureLoad, capture, controls, count };

#if defined(T462_MEASURE)

// Adds the time from construction to destruction to its phase.
class Timed {
public:
    explicit Timed(Phase phase);
    ~Timed();
    Timed(const Timed&) = delete;
    Timed& operator=(const Timed&) = delete;

private:
    Phase phase_;
    long long start_;
};

// Marks the start of a frame (the per-frame capture); about every two
// seconds appends the frame rate and each phase's mean per frame to
// "t462-timing.log" in the working directory.
void frameStarted();

#else

class Timed {
public:
    explicit Timed(Phase) {}
};
inline void frameStarted() {}

#endif

// Runs call() and adds its time to the phase; returns what call() returns.
template <class Call>
auto timed(Phase phase, Call&& call) {
    const Timed timer(phase);
    return call();
}

}  // namespace frame_timing
