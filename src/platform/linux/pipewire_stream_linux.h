// A PipeWire video stream from the ScreenCast portal: one monitor's frames in
// shared memory, arriving on PipeWire's own thread at the compositor's pace.
// The newest frame is kept (its buffer is held until a newer one comes) and
// a grab copies its part from it: the frame loop never waits for a frame.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/types.h"
#include "platform/window_system.h"

struct pw_buffer;
struct pw_context;
struct pw_core;
struct pw_stream;
struct pw_thread_loop;
struct spa_hook;

namespace platform::compositor {

class PipeWireStream {
public:
    // Reads the stream of `node` from the PipeWire remote `fd` (taken over);
    // null, with a line on the standard error, where it cannot be started.
    static std::unique_ptr<PipeWireStream> open(int fd, uint32_t node);
    ~PipeWireStream();
    PipeWireStream(const PipeWireStream&) = delete;
    PipeWireStream& operator=(const PipeWireStream&) = delete;

    // Whether the stream stopped for good (the share was ended, an error).
    bool ended() const { return ended_.load(); }

    // The part `area` of the newest frame into `pixels`. `monitor` is where
    // the frame lies in the layout (logical coordinates); a frame of more
    // pixels than that (a scaled monitor) is sampled. 0 while no frame has
    // come, or where the area is not on that monitor.
    uint32_t grab(const Rect& area, const Rect& monitor, const GrabLayout& layout, uint8_t* pixels);

private:
    PipeWireStream();
    bool start(int fd, uint32_t node);

    struct Events;  // PipeWire's calls, on its thread

    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    pw_stream* stream_ = nullptr;
    std::unique_ptr<spa_hook> listener_;
    std::atomic<bool> ended_{false};

    // Shared with PipeWire's thread.
    std::mutex mutex_;
    pw_buffer* held_ = nullptr;  // the newest frame's buffer
    int32_t width_ = 0;
    int32_t height_ = 0;
    bool redFirst_ = false;
    bool toldStride_ = false;
};

}  // namespace platform::compositor
