#include "capture/screen_capture.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "capture/bmp_file.h"
#include "capture/capture_area.h"
#include "capture/snapshot_name.h"
#include "controls/viewer_state.h"
#include "measure/frame_timing.h"
#include "panel/panel_window.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"
#include "render/model_mesh.h"

namespace {

// The grabbed image of the capture area: padded 24-bit rows, bottom-up, black
// where the area is off the screen. Empty when the area has no pixels.
struct CaptureImage {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> pixels;

    bool empty() const { return pixels == nullptr; }
};

// A zero-filled buffer, or null when the memory is not there.
std::unique_ptr<uint8_t[]> zeroedBuffer(size_t size) {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]());
}

// The rectangle that holds every monitor.
platform::Rect virtualScreen() {
    const int64_t left = platform::GetSystemMetrics(platform::SM_XVIRTUALSCREEN);
    const int64_t top = platform::GetSystemMetrics(platform::SM_YVIRTUALSCREEN);
    const int64_t width = platform::GetSystemMetrics(platform::SM_CXVIRTUALSCREEN);
    const int64_t height = platform::GetSystemMetrics(platform::SM_CYVIRTUALSCREEN);
    return {clampedCoordinate(left), clampedCoordinate(top), clampedCoordinate(left + width),
            clampedCoordinate(top + height)};
}

// Every monitor's rectangle; the virtual screen as one monitor when the
// system cannot tell them.
std::vector<platform::Rect> monitors(const platform::Rect& virtualScreen) {
    std::vector<platform::Rect> found;
    const bool told = platform::EnumDisplayMonitors(
        [](const platform::Rect& monitor, void* context) {
            static_cast<std::vector<platform::Rect>*>(context)->push_back(monitor);
            return true;
        },
        &found);
    if (!told || found.empty()) return {virtualScreen};
    return found;
}

// The panel's client area in screen coordinates; where it cannot be asked for
// (the panel was closed), that of its last window rectangle.
platform::Rect panelClient(const ViewerState& state) {
    platform::Rect client;
    platform::Point topLeft{0, 0};
    if (!platform::GetClientRect(state.panelWindow, &client) ||
        !platform::ClientToScreen(state.panelWindow, &topLeft))
        return usualClientOf(state.panelRect);
    platform::Point bottomRight{client.right, client.bottom};
    if (!platform::ClientToScreen(state.panelWindow, &bottomRight))
        return usualClientOf(state.panelRect);
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

// Grabs each part into the image; a part whose grab fails stays black.
void grabParts(const CaptureArea& area, const std::vector<platform::Rect>& parts,
               CaptureImage& image) {
    for (const platform::Rect& part : parts) {
        const uint32_t partSize =
            static_cast<uint32_t>(bmpImageSize(part.right - part.left, part.bottom - part.top));
        std::unique_ptr<uint8_t[]> grabbed = zeroedBuffer(partSize);
        if (grabbed != nullptr && platform::grabScreen(part, grabbed.get(), partSize) != 0)
            placeGrab(area, part, grabbed.get(), image.pixels.get());
    }
}

// The image of the area: what the monitors show, black where it lies on none.
CaptureImage grabArea(const CaptureArea& area) {
    const frame_timing::Timed timed(frame_timing::Phase::grab);
    CaptureImage image;
    const uint32_t size = captureImageSize(area);
    if (size == 0) return image;
    image.pixels = zeroedBuffer(size);
    if (image.empty()) return image;
    image.width = static_cast<int32_t>(area.width);
    image.height = static_cast<int32_t>(area.height);
    image.size = size;

    const platform::Rect screen = virtualScreen();
    const std::vector<platform::Rect> parts = partsOnMonitors(area, screen, monitors(screen));
    const bool whole = parts.size() == 1 && parts[0].left == area.left &&
                       parts[0].top == area.top && parts[0].right - parts[0].left == area.width &&
                       parts[0].bottom - parts[0].top == area.height;
    if (!whole) {
        grabParts(area, parts, image);
    } else if (platform::grabScreen(parts[0], image.pixels.get(), size) == 0) {
        std::memset(image.pixels.get(), 0, size);  // a failed grab leaves black
    }
    return image;
}

bool writeImage(const char* name, const CaptureImage& image) {
    const frame_timing::Timed timed(frame_timing::Phase::fileWrite);
    return !image.empty() &&
           writeBmpFile(name, image.width, image.height, image.pixels.get(), image.size);
}

// Reads the prefix, names the file by the prefix and the number, writes it and
// advances the number, saved or not. A name that does not fit, or that would
// not name a file of its own in the save folder, is not written.
void saveSnapshot(ViewerState& state, const CaptureImage& image) {
    const uint32_t length = platform::GetDlgItemTextA(
        state.panelWindow, kPrefixBoxId, state.snapshotPrefix, sizeof state.snapshotPrefix);
    if (length == 0) state.snapshotPrefix[0] = '\0';
    state.snapshotPrefix[sizeof state.snapshotPrefix - 1] = '\0';

    char name[kSnapshotNameCapacity];
    const bool fits = formatSnapshotName(name, state.snapshotPrefix, state.snapshotCounter);
    const bool plain = isPlainSnapshotName(state.snapshotPrefix, state.snapshotCounter);
    const bool saved = fits && plain && writeImage(name, image);
    state.snapshotCounter = static_cast<int32_t>(static_cast<uint32_t>(state.snapshotCounter) + 1u);

    state.lastSnapshotFailed = !saved;
    if (saved) {
        state.failedSnapshotName[0] = '\0';
    } else {
        static_assert(sizeof state.failedSnapshotName == sizeof name);
        std::memcpy(state.failedSnapshotName, name, sizeof name);
    }
}

// The old model goes first, so that no two models exist at once.
void replaceModel(ViewerState& state) {
    state.model.reset();
    state.model = std::make_unique<ModelMesh>();
    state.model->load("model.x");
}

}  // namespace

void captureScreen() {
    ViewerState& state = viewerState();
    if (state.captureMode == 0) frame_timing::frameStarted();
#if defined(T462_MEASURE_NO_CAPTURE)
    // The measurement build that shows what the loop costs without the
    // per-frame capture; snapshots still work.
    if (state.captureMode == 0) return;
#endif
    const frame_timing::Timed timed(frame_timing::Phase::capture);
    platform::GetWindowRect(state.panelWindow, &state.panelRect);
    const CaptureArea area = captureAreaOf(panelClient(state));
    {
        const CaptureImage image = grabArea(area);
        if (state.captureMode == 0) {
            // While the rectangle is empty the last feedback image stays.
            writeImage(kFeedbackImageName, image);
        } else {
            saveSnapshot(state, image);
        }
    }  // the file is closed and the buffers are freed before the reload
    replaceModel(state);
}
