#include "platform/linux/wlr_screencopy_linux.h"

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <wlr-screencopy-unstable-v1-client-protocol.h>
#include <xdg-output-unstable-v1-client-protocol.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/linux/frame_copy_linux.h"

namespace platform::compositor {
namespace {

constexpr uint32_t kScreencopyVersion = 3;  // buffer_done: every buffer type told first
constexpr uint32_t kXdgOutputVersion = 3;
// The shared-memory formats read here (wl_shm's codes, DRM's for the rest).
constexpr uint32_t kArgb8888 = WL_SHM_FORMAT_ARGB8888;
constexpr uint32_t kXrgb8888 = WL_SHM_FORMAT_XRGB8888;
constexpr uint32_t kAbgr8888 = WL_SHM_FORMAT_ABGR8888;
constexpr uint32_t kXbgr8888 = WL_SHM_FORMAT_XBGR8888;

bool readable(uint32_t format) {
    return format == kArgb8888 || format == kXrgb8888 || format == kAbgr8888 || format == kXbgr8888;
}

template <auto Destroy>
struct Deleter {
    template <typename T>
    void operator()(T* object) const {
        Destroy(object);
    }
};
template <typename T, auto Destroy>
using Owned = std::unique_ptr<T, Deleter<Destroy>>;

// A wl_buffer in shared memory that the compositor copies into.
class ShmBuffer {
public:
    ShmBuffer(wl_shm* shm, uint32_t format, int32_t width, int32_t height, int32_t stride)
        : format_(format), width_(width), height_(height), stride_(stride) {
        const size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(height);
        const int fd = memfd_create("t462-grab", MFD_CLOEXEC);
        if (fd < 0) return;
        if (ftruncate(fd, static_cast<off_t>(bytes)) == 0) {
            void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            if (mapped != MAP_FAILED) {
                data_ = static_cast<uint8_t*>(mapped);
                bytes_ = bytes;
                pool_.reset(wl_shm_create_pool(shm, fd, static_cast<int32_t>(bytes)));
                buffer_.reset(
                    wl_shm_pool_create_buffer(pool_.get(), 0, width, height, stride, format));
            }
        }
        close(fd);  // the request carries a copy
    }
    ~ShmBuffer() {
        buffer_.reset();
        pool_.reset();
        if (data_ != nullptr) munmap(data_, bytes_);
    }
    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;

    bool usable() const { return buffer_ != nullptr; }
    bool fits(uint32_t format, int32_t width, int32_t height, int32_t stride) const {
        return format == format_ && width == width_ && height == height_ && stride == stride_;
    }
    wl_buffer* buffer() const { return buffer_.get(); }
    FrameView view(bool bottomUp) const {
        return {data_,
                width_,
                height_,
                static_cast<size_t>(stride_),
                format_ == kAbgr8888 || format_ == kXbgr8888,
                bottomUp};
    }

private:
    uint32_t format_;
    int32_t width_;
    int32_t height_;
    int32_t stride_;
    uint8_t* data_ = nullptr;
    size_t bytes_ = 0;
    Owned<wl_shm_pool, wl_shm_pool_destroy> pool_;
    Owned<wl_buffer, wl_buffer_destroy> buffer_;
};

// What the compositor offered for the copy in flight.
struct Offer {
    bool told = false;
    uint32_t format = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
};

}  // namespace

struct Output;

struct Screencopy::Session {
    Owned<wl_display, wl_display_disconnect> display;
    Owned<wl_registry, wl_registry_destroy> registry;
    Owned<wl_shm, wl_shm_destroy> shm;
    Owned<zwlr_screencopy_manager_v1, zwlr_screencopy_manager_v1_destroy> manager;
    Owned<zxdg_output_manager_v1, zxdg_output_manager_v1_destroy> outputManager;
    uint32_t managerVersion = 0;
    std::vector<std::unique_ptr<Output>> outputs;
    bool lost = false;
    bool toldFormats = false;

    void addOutput(uint32_t name, uint32_t version);
    void describe(Output& output);
    Output* outputHolding(const Rect& area);
    bool pump();
};

// An output with its place in the layout, the newest copy made on it and the
// one in flight.
struct Output {
    Screencopy::Session* session = nullptr;
    uint32_t name = 0;  // the registry's
    Owned<wl_output, wl_output_destroy> output;
    Owned<zxdg_output_v1, zxdg_output_v1_destroy> description;
    Rect place{};  // logical, in the layout
    bool placed = false;

    Owned<zwlr_screencopy_frame_v1, zwlr_screencopy_frame_v1_destroy> frame;
    Rect asked{};  // the area (layout coordinates) the frame in flight copies
    Offer offer;
    bool bottomUp = false;
    std::unique_ptr<ShmBuffer> spare;  // the copy in flight goes here
    std::unique_ptr<ShmBuffer> newest;
    Rect newestArea{};
    bool newestBottomUp = false;

    void capture(const Rect& area);
    void copy();
    void finish(bool ready);
};

namespace {

// --- events ---------------------------------------------------------------

void onLogicalPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y) {
    Rect& place = static_cast<Output*>(data)->place;
    place = {x, y, x + (place.right - place.left), y + (place.bottom - place.top)};
}
void onLogicalSize(void* data, zxdg_output_v1*, int32_t width, int32_t height) {
    auto* output = static_cast<Output*>(data);
    output->place.right = output->place.left + width;
    output->place.bottom = output->place.top + height;
    output->placed = width > 0 && height > 0;
}
void onOutputDone(void*, zxdg_output_v1*) {}
void onOutputName(void*, zxdg_output_v1*, const char*) {}
void onOutputDescription(void*, zxdg_output_v1*, const char*) {}
const zxdg_output_v1_listener kOutputListener = {onLogicalPosition, onLogicalSize, onOutputDone,
                                                 onOutputName, onOutputDescription};

void onBuffer(void* data, zwlr_screencopy_frame_v1*, uint32_t format, uint32_t width,
              uint32_t height, uint32_t stride) {
    auto* output = static_cast<Output*>(data);
    if (!output->offer.told && readable(format)) {
        output->offer = {true, format, static_cast<int32_t>(width), static_cast<int32_t>(height),
                         static_cast<int32_t>(stride)};
    }
    // Before version 3 the one buffer event is all there is.
    if (output->session->managerVersion < 3) output->copy();
}
void onFlags(void* data, zwlr_screencopy_frame_v1*, uint32_t flags) {
    static_cast<Output*>(data)->bottomUp = (flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT) != 0;
}
void onReady(void* data, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {
    static_cast<Output*>(data)->finish(true);
}
void onFailed(void* data, zwlr_screencopy_frame_v1*) { static_cast<Output*>(data)->finish(false); }
void onDamage(void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t, uint32_t) {}
void onDmabuf(void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {}
void onBufferDone(void* data, zwlr_screencopy_frame_v1*) { static_cast<Output*>(data)->copy(); }
const zwlr_screencopy_frame_v1_listener kFrameListener = {onBuffer, onFlags,  onReady,     onFailed,
                                                          onDamage, onDmabuf, onBufferDone};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t version) {
    auto* session = static_cast<Screencopy::Session*>(data);
    const std::string_view kind(interface);
    if (kind == wl_shm_interface.name) {
        session->shm.reset(
            static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1)));
    } else if (kind == zwlr_screencopy_manager_v1_interface.name) {
        session->managerVersion = std::min(version, kScreencopyVersion);
        session->manager.reset(static_cast<zwlr_screencopy_manager_v1*>(wl_registry_bind(
            registry, name, &zwlr_screencopy_manager_v1_interface, session->managerVersion)));
    } else if (kind == zxdg_output_manager_v1_interface.name) {
        session->outputManager.reset(static_cast<zxdg_output_manager_v1*>(
            wl_registry_bind(registry, name, &zxdg_output_manager_v1_interface,
                             std::min(version, kXdgOutputVersion))));
        for (auto& output : session->outputs) session->describe(*output);
    } else if (kind == wl_output_interface.name) {
        session->addOutput(name, version);
    }
}
void onGlobalRemove(void* data, wl_registry*, uint32_t name) {
    auto& outputs = static_cast<Screencopy::Session*>(data)->outputs;
    std::erase_if(outputs, [name](const auto& output) { return output->name == name; });
}
const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

bool contains(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

}  // namespace

// --- the session ---------------------------------------------------------------

void Screencopy::Session::addOutput(uint32_t name, uint32_t version) {
    auto output = std::make_unique<Output>();
    output->session = this;
    output->name = name;
    output->output.reset(static_cast<wl_output*>(
        wl_registry_bind(registry.get(), name, &wl_output_interface, std::min(version, 2u))));
    describe(*output);
    outputs.push_back(std::move(output));
}

void Screencopy::Session::describe(Output& output) {
    if (outputManager == nullptr || output.description != nullptr) return;
    output.description.reset(
        zxdg_output_manager_v1_get_xdg_output(outputManager.get(), output.output.get()));
    zxdg_output_v1_add_listener(output.description.get(), &kOutputListener, &output);
}

Output* Screencopy::Session::outputHolding(const Rect& area) {
    for (auto& output : outputs)
        if (output->placed && contains(output->place, area)) return output.get();
    return nullptr;
}

// Handles what the compositor sent, without waiting for more; false once the
// connection is gone.
bool Screencopy::Session::pump() {
    wl_display* connection = display.get();
    if (lost) return false;
    while (wl_display_prepare_read(connection) != 0) {
        if (wl_display_dispatch_pending(connection) < 0) return lost = true, false;
    }
    if (wl_display_flush(connection) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(connection);
        return lost = true, false;
    }
    pollfd waiting{wl_display_get_fd(connection), POLLIN, 0};
    if (poll(&waiting, 1, 0) > 0 && (waiting.revents & POLLIN) != 0) {
        if (wl_display_read_events(connection) < 0) return lost = true, false;
    } else {
        wl_display_cancel_read(connection);
    }
    if (wl_display_dispatch_pending(connection) < 0) return lost = true, false;
    return true;
}

// --- copies on an output ------------------------------------------------------------

void Output::capture(const Rect& area) {
    asked = area;
    offer = {};
    bottomUp = false;
    frame.reset(zwlr_screencopy_manager_v1_capture_output_region(
        session->manager.get(), 0, output.get(), area.left - place.left, area.top - place.top,
        area.right - area.left, area.bottom - area.top));
    zwlr_screencopy_frame_v1_add_listener(frame.get(), &kFrameListener, this);
}

void Output::copy() {
    if (frame == nullptr) return;
    if (!offer.told) {
        if (!session->toldFormats) {
            std::fprintf(stderr,
                         "t462: the compositor offers no shared-memory format the grab reads "
                         "(XRGB8888, ARGB8888, XBGR8888, ABGR8888)\n");
            session->toldFormats = true;
        }
        finish(false);
        return;
    }
    if (spare == nullptr || !spare->fits(offer.format, offer.width, offer.height, offer.stride)) {
        spare = std::make_unique<ShmBuffer>(session->shm.get(), offer.format, offer.width,
                                            offer.height, offer.stride);
    }
    if (!spare->usable()) {
        spare.reset();
        finish(false);
        return;
    }
    zwlr_screencopy_frame_v1_copy(frame.get(), spare->buffer());
}

void Output::finish(bool ready) {
    frame.reset();
    if (!ready) return;
    std::swap(newest, spare);
    newestArea = asked;
    newestBottomUp = bottomUp;
}

// --- the grab -----------------------------------------------------------------------

Screencopy::Screencopy(std::unique_ptr<Session> session) : session_(std::move(session)) {}
Screencopy::~Screencopy() = default;

std::unique_ptr<Screencopy> Screencopy::connect() {
    auto session = std::make_unique<Session>();
    session->display.reset(wl_display_connect(nullptr));
    if (session->display == nullptr) return nullptr;
    session->registry.reset(wl_display_get_registry(session->display.get()));
    wl_registry_add_listener(session->registry.get(), &kRegistryListener, session.get());
    // The globals, then what the outputs say of their place.
    if (wl_display_roundtrip(session->display.get()) < 0 ||
        wl_display_roundtrip(session->display.get()) < 0)
        return nullptr;
    if (session->manager == nullptr || session->outputManager == nullptr || session->shm == nullptr)
        return nullptr;
    return std::unique_ptr<Screencopy>(new Screencopy(std::move(session)));
}

uint32_t Screencopy::grab(const Rect& area, const GrabLayout& layout, uint8_t* pixels) {
    if (!session_->pump()) return 0;
    Output* output = session_->outputHolding(area);
    if (output == nullptr) return 0;
    if (output->frame == nullptr) {
        output->capture(area);
        wl_display_flush(session_->display.get());
    }
    const Rect& had = output->newestArea;
    if (output->newest == nullptr || had.right - had.left != layout.width ||
        had.bottom - had.top != layout.height)
        return 0;
    const FrameView frame = output->newest->view(output->newestBottomUp);
    copyFrameArea(frame,
                  {0, 0, static_cast<double>(frame.width), static_cast<double>(frame.height)},
                  layout, pixels);
    return layout.bytes;
}

}  // namespace platform::compositor
