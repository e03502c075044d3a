#include "platform/linux/pipewire_stream_linux.h"

#include <pipewire/pipewire.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>
#include <unistd.h>

#include <cstdio>

#include "platform/linux/frame_copy_linux.h"

namespace platform::compositor {
namespace {

// The formats asked for: 32-bit pixels in shared memory, the monitor's size.
constexpr uint32_t kFormats[] = {SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRA,
                                 SPA_VIDEO_FORMAT_RGBx, SPA_VIDEO_FORMAT_RGBA};
constexpr uint32_t kLargestSide = 16384;

const spa_pod* formatChoices(spa_pod_builder& builder) {
    spa_pod_frame object{};
    spa_pod_frame choice{};
    spa_pod_builder_push_object(&builder, &object, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat);
    spa_pod_builder_prop(&builder, SPA_FORMAT_mediaType, 0);
    spa_pod_builder_id(&builder, SPA_MEDIA_TYPE_video);
    spa_pod_builder_prop(&builder, SPA_FORMAT_mediaSubtype, 0);
    spa_pod_builder_id(&builder, SPA_MEDIA_SUBTYPE_raw);

    spa_pod_builder_prop(&builder, SPA_FORMAT_VIDEO_format, 0);
    spa_pod_builder_push_choice(&builder, &choice, SPA_CHOICE_Enum, 0);
    spa_pod_builder_id(&builder, kFormats[0]);  // the preferred one
    for (uint32_t format : kFormats) spa_pod_builder_id(&builder, format);
    spa_pod_builder_pop(&builder, &choice);

    spa_pod_builder_prop(&builder, SPA_FORMAT_VIDEO_size, 0);
    spa_pod_builder_push_choice(&builder, &choice, SPA_CHOICE_Range, 0);
    spa_pod_builder_rectangle(&builder, 1920, 1080);
    spa_pod_builder_rectangle(&builder, 1, 1);
    spa_pod_builder_rectangle(&builder, kLargestSide, kLargestSide);
    spa_pod_builder_pop(&builder, &choice);

    spa_pod_builder_prop(&builder, SPA_FORMAT_VIDEO_framerate, 0);
    spa_pod_builder_push_choice(&builder, &choice, SPA_CHOICE_Range, 0);
    spa_pod_builder_fraction(&builder, 30, 1);
    spa_pod_builder_fraction(&builder, 0, 1);
    spa_pod_builder_fraction(&builder, 1000, 1);
    spa_pod_builder_pop(&builder, &choice);
    return static_cast<const spa_pod*>(spa_pod_builder_pop(&builder, &object));
}

// Buffers the program can read without a graphics device.
const spa_pod* bufferKinds(spa_pod_builder& builder) {
    spa_pod_frame object{};
    spa_pod_builder_push_object(&builder, &object, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers);
    spa_pod_builder_prop(&builder, SPA_PARAM_BUFFERS_dataType, 0);
    spa_pod_builder_int(&builder, (1 << SPA_DATA_MemFd) | (1 << SPA_DATA_MemPtr));
    return static_cast<const spa_pod*>(spa_pod_builder_pop(&builder, &object));
}

// Whether a dequeued buffer holds a whole frame.
bool complete(const pw_buffer* buffer) {
    const spa_buffer* frame = buffer->buffer;
    if (frame->n_datas < 1) return false;
    const spa_data& data = frame->datas[0];
    return data.data != nullptr && data.chunk != nullptr && data.chunk->size > 0 &&
           (data.chunk->flags & SPA_CHUNK_FLAG_CORRUPTED) == 0;
}

}  // namespace

struct PipeWireStream::Events {
    static void stateChanged(void* data, pw_stream_state previous, pw_stream_state state,
                             const char* error) {
        auto* self = static_cast<PipeWireStream*>(data);
        if (state == PW_STREAM_STATE_ERROR) {
            std::fprintf(stderr, "t462: the screen stream failed: %s\n", error ? error : "?");
            self->ended_ = true;
        } else if (state == PW_STREAM_STATE_UNCONNECTED &&
                   previous != PW_STREAM_STATE_UNCONNECTED) {
            std::fprintf(stderr, "t462: the screen stream ended\n");
            self->ended_ = true;
        }
    }

    static void paramChanged(void* data, uint32_t id, const spa_pod* param) {
        auto* self = static_cast<PipeWireStream*>(data);
        if (id != SPA_PARAM_Format || param == nullptr) return;
        spa_video_info_raw info{};
        if (spa_format_video_raw_parse(param, &info) < 0) return;
        {
            const std::lock_guard lock(self->mutex_);
            self->held_ = nullptr;  // of the old format; its buffers go
            self->width_ = static_cast<int32_t>(info.size.width);
            self->height_ = static_cast<int32_t>(info.size.height);
            self->redFirst_ =
                info.format == SPA_VIDEO_FORMAT_RGBx || info.format == SPA_VIDEO_FORMAT_RGBA;
        }
        uint8_t space[256];
        spa_pod_builder builder{};
        spa_pod_builder_init(&builder, space, sizeof space);
        const spa_pod* params[] = {bufferKinds(builder)};
        pw_stream_update_params(self->stream_, params, 1);
    }

    static void removeBuffer(void* data, pw_buffer* buffer) {
        auto* self = static_cast<PipeWireStream*>(data);
        const std::lock_guard lock(self->mutex_);
        if (self->held_ == buffer) self->held_ = nullptr;
    }

    // Takes every frame waiting, keeps the newest and gives the rest back.
    static void process(void* data) {
        auto* self = static_cast<PipeWireStream*>(data);
        pw_buffer* newest = nullptr;
        while (pw_buffer* buffer = pw_stream_dequeue_buffer(self->stream_)) {
            if (newest != nullptr) pw_stream_queue_buffer(self->stream_, newest);
            newest = buffer;
        }
        if (newest == nullptr) return;
        if (!complete(newest)) {
            pw_stream_queue_buffer(self->stream_, newest);
            return;
        }
        pw_buffer* older = nullptr;
        {
            const std::lock_guard lock(self->mutex_);
            older = self->held_;
            self->held_ = newest;
        }
        if (older != nullptr) pw_stream_queue_buffer(self->stream_, older);
    }

    static pw_stream_events table() {
        pw_stream_events events{};
        events.version = PW_VERSION_STREAM_EVENTS;
        events.state_changed = stateChanged;
        events.param_changed = paramChanged;
        events.remove_buffer = removeBuffer;
        events.process = process;
        return events;
    }
};

PipeWireStream::PipeWireStream() : listener_(std::make_unique<spa_hook>()) {}

PipeWireStream::~PipeWireStream() {
    if (loop_ == nullptr) return;
    pw_thread_loop_lock(loop_);
    if (stream_ != nullptr) pw_stream_destroy(stream_);
    if (core_ != nullptr) pw_core_disconnect(core_);
    pw_thread_loop_unlock(loop_);
    pw_thread_loop_stop(loop_);
    if (context_ != nullptr) pw_context_destroy(context_);
    pw_thread_loop_destroy(loop_);
}

std::unique_ptr<PipeWireStream> PipeWireStream::open(int fd, uint32_t node) {
    static const bool initialised = [] {
        pw_init(nullptr, nullptr);
        return true;
    }();
    (void)initialised;
    std::unique_ptr<PipeWireStream> stream(new PipeWireStream());
    if (!stream->start(fd, node)) return nullptr;
    return stream;
}

bool PipeWireStream::start(int fd, uint32_t node) {
    loop_ = pw_thread_loop_new("t462-grab", nullptr);
    if (loop_ == nullptr) {
        ::close(fd);
        return false;
    }
    context_ = pw_context_new(pw_thread_loop_get_loop(loop_), nullptr, 0);
    if (context_ == nullptr || pw_thread_loop_start(loop_) < 0) {
        ::close(fd);
        return false;
    }
    pw_thread_loop_lock(loop_);
    core_ = pw_context_connect_fd(context_, fd, nullptr, 0);
    if (core_ != nullptr) {
        stream_ = pw_stream_new(core_, "t462 grab",
                                pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY,
                                                  "Capture", PW_KEY_MEDIA_ROLE, "Screen", nullptr));
    }
    bool connected = false;
    if (stream_ != nullptr) {
        static const pw_stream_events events = Events::table();
        pw_stream_add_listener(stream_, listener_.get(), &events, this);
        uint8_t space[1024];
        spa_pod_builder builder{};
        spa_pod_builder_init(&builder, space, sizeof space);
        const spa_pod* params[] = {formatChoices(builder)};
        connected = pw_stream_connect(stream_, PW_DIRECTION_INPUT, node,
                                      static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT |
                                                                   PW_STREAM_FLAG_MAP_BUFFERS),
                                      params, 1) == 0;
    }
    pw_thread_loop_unlock(loop_);
    if (!connected) std::fprintf(stderr, "t462: cannot read the screen stream from PipeWire\n");
    return connected;
}

uint32_t PipeWireStream::grab(const Rect& area, const Rect& monitor, const GrabLayout& layout,
                              uint8_t* pixels) {
    const std::lock_guard lock(mutex_);
    if (held_ == nullptr || width_ <= 0 || height_ <= 0) return 0;
    // A stream whose size the portal did not tell is the frame's at scale 1.
    Rect place = monitor;
    if (place.right <= place.left || place.bottom <= place.top)
        place = {monitor.left, monitor.top, monitor.left + width_, monitor.top + height_};
    if (area.left < place.left || area.top < place.top || area.right > place.right ||
        area.bottom > place.bottom)
        return 0;
    const spa_data& data = held_->buffer->datas[0];
    const int32_t stride = data.chunk->stride == 0 ? width_ * 4 : data.chunk->stride;
    if (stride < width_ * 4 ||
        data.chunk->offset + static_cast<uint64_t>(stride) * height_ > data.maxsize) {
        if (!toldStride_) {
            std::fprintf(stderr, "t462: a screen frame of stride %d is not read (%dx%d)\n",
                         data.chunk->stride, width_, height_);
            toldStride_ = true;
        }
        return 0;
    }
    const FrameView frame{static_cast<const uint8_t*>(data.data) + data.chunk->offset,
                          width_,
                          height_,
                          static_cast<size_t>(stride),
                          redFirst_,
                          false};
    const double xScale = static_cast<double>(width_) / (place.right - place.left);
    const double yScale = static_cast<double>(height_) / (place.bottom - place.top);
    copyFrameArea(frame,
                  {(area.left - place.left) * xScale, (area.top - place.top) * yScale,
                   layout.width * xScale, layout.height * yScale},
                  layout, pixels);
    return layout.bytes;
}

}  // namespace platform::compositor
