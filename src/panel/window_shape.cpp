#include "panel/window_shape.h"

#include <cstddef>
#include <memory>
#include <new>
#include <utility>

#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace {

constexpr uint32_t kBitmapInfoHeaderSize = 40;
constexpr uint16_t kPixelBits = 32;

// A GDI object (region or bitmap) deleted when the holder goes.
class OwnedObject {
public:
    explicit OwnedObject(platform::GdiObject object) : object_(object) {}
    ~OwnedObject() { reset(); }
    OwnedObject(OwnedObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    OwnedObject& operator=(OwnedObject&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    OwnedObject(const OwnedObject&) = delete;
    OwnedObject& operator=(const OwnedObject&) = delete;

    platform::GdiObject get() const { return object_; }
    platform::GdiObject release() { return std::exchange(object_, nullptr); }
    void reset() {
        if (object_ != nullptr) platform::DeleteObject(std::exchange(object_, nullptr));
    }

private:
    platform::GdiObject object_;
};

// A window's client-area device context, released when the holder goes.
class WindowDc {
public:
    explicit WindowDc(platform::WindowHandle window)
        : window_(window), dc_(platform::GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) platform::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    platform::DeviceContext get() const { return dc_; }

private:
    platform::WindowHandle window_;
    platform::DeviceContext dc_;
};

// A memory device context, deleted when the holder goes.
class MemoryDc {
public:
    explicit MemoryDc(platform::DeviceContext compatibleWith)
        : dc_(platform::CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDc() {
        if (dc_ != nullptr) platform::DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    platform::DeviceContext get() const { return dc_; }

private:
    platform::DeviceContext dc_;
};

// Reads `height` rows of `bitmap` as 32-bit bottom-up pixels through `dc`.
// Returns the number of rows read; 0 means nothing was read.
int32_t readPixels(platform::DeviceContext dc, platform::GdiObject bitmap, int32_t width,
                   int32_t height, uint32_t* pixels) {
    platform::BitmapInfo info{};
    info.header.size = kBitmapInfoHeaderSize;
    info.header.width = width;
    info.header.height = height;  // positive: bottom-up rows
    info.header.planes = 1;
    info.header.bitCount = kPixelBits;
    info.header.compression = platform::BI_RGB;
    info.header.sizeImage = static_cast<uint32_t>(width) * static_cast<uint32_t>(height) * 4;
    return platform::GetDIBits(dc, bitmap, 0, static_cast<uint32_t>(height), pixels, &info,
                               platform::DIB_RGB_COLORS);
}

// The largest picture whose pixel array and image size still fit the 32-bit
// size field of the bitmap header.
constexpr uint64_t kMostPixels = 0xFFFFFFFFull / 4;

}  // namespace

uint32_t pixelFromColourRef(uint32_t colourRef) {
    return ((colourRef & 0xFF) << 16) | (colourRef & 0xFF00) | ((colourRef & 0xFF0000) >> 16);
}

platform::Rect startingRectangle(int32_t width, int32_t height, platform::Point offset) {
    return {offset.x, offset.y, offset.x + width, offset.y + height};
}

WindowShape shapeFromPixels(const uint32_t* pixels, int32_t width, int32_t height, uint32_t key,
                            platform::Point offset) {
    WindowShape shape;
    shape.start = startingRectangle(width, height, offset);
    if (pixels == nullptr || width <= 0 || height <= 0) return shape;

    const uint32_t match = key == kKeyFromPicture ? pixels[0] : pixelFromColourRef(key);
    const auto cut = [&](int32_t column, int32_t firstRow, int32_t lastRow) {
        // Array rows count from the bottom; the picture's y from the top.
        shape.cuts.push_back({offset.x + column, offset.y + (height - 1 - lastRow),
                              offset.x + column + 1, offset.y + (height - firstRow)});
    };
    for (int32_t column = 0; column < width; ++column) {
        int32_t runStart = -1;
        for (int32_t row = 0; row < height; ++row) {
            const uint32_t pixel = pixels[static_cast<size_t>(row) * width + column];
            if (pixel == match) {
                if (runStart < 0) runStart = row;
                if (row == height - 1) cut(column, runStart, row);
            } else if (runStart >= 0) {
                cut(column, runStart, row - 1);
                runStart = -1;
            }
        }
    }
    return shape;
}

bool cutsWholePicture(const WindowShape& shape) {
    int64_t cut = 0;
    for (const platform::Rect& run : shape.cuts)
        cut += int64_t{run.right - run.left} * (run.bottom - run.top);
    const int64_t area =
        int64_t{shape.start.right - shape.start.left} * (shape.start.bottom - shape.start.top);
    return area > 0 && cut == area;
}

platform::GdiObject regionFromBitmap(platform::WindowHandle window, uint32_t key,
                                     platform::GdiObject bitmap, bool* cutAway) {
    if (cutAway != nullptr) *cutAway = false;
    platform::Rect client;
    platform::GetClientRect(window, &client);
    platform::Point upperLeft{client.left, client.top};
    platform::ClientToScreen(window, &upperLeft);
    platform::Point lowerRight{client.right, client.bottom};
    platform::ClientToScreen(window, &lowerRight);
    platform::Rect frame;
    platform::GetWindowRect(window, &frame);

    int32_t width = 0;
    int32_t height = 0;
    if (bitmap != nullptr) {
        platform::BitmapRecord record{};
        platform::GetObjectA(bitmap, static_cast<int32_t>(sizeof record), &record);
        width = record.width;
        height = record.height;
    } else {
        // The client area with the frame's left and top widths added.
        width = lowerRight.x - frame.left;
        height = lowerRight.y - frame.top;
    }
    // A negative size would turn the rectangle inside out; treat it as empty.
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    const platform::Point offset{upperLeft.x - frame.left, upperLeft.y - frame.top};

    OwnedObject region(
        platform::CreateRectRgn(offset.x, offset.y, offset.x + width, offset.y + height));

    const uint64_t count = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    std::unique_ptr<uint32_t[]> pixels;
    if (count <= kMostPixels) pixels.reset(new (std::nothrow) uint32_t[count]());
    if (pixels == nullptr) return region.release();  // no picture to cut from

    int32_t rowsRead = 0;
    {
        const WindowDc windowDc(window);
        if (bitmap != nullptr) {
            rowsRead = readPixels(windowDc.get(), bitmap, width, height, pixels.get());
        } else {
            OwnedObject copy(nullptr);
            {
                const MemoryDc memoryDc(windowDc.get());
                copy = OwnedObject(platform::CreateCompatibleBitmap(windowDc.get(), width, height));
                platform::SelectObject(memoryDc.get(), copy.get());
                platform::BitBlt(memoryDc.get(), 0, 0, width, height, windowDc.get(), 0, 0,
                                 platform::SRCCOPY);
            }
            rowsRead = readPixels(windowDc.get(), copy.get(), width, height, pixels.get());
        }
    }
    // Nothing read: the zero-filled array would make every pixel look like
    // the key, and the window would vanish. Keep the whole rectangle instead.
    if (rowsRead <= 0) return region.release();

    const WindowShape shape = shapeFromPixels(pixels.get(), width, height, key, offset);
    // A window that has not been drawn yet (the panel asks during its
    // creation) shows one colour only, which then is the key: cutting it would
    // leave no window at all. Its plain rectangle is kept instead.
    if (bitmap == nullptr && cutsWholePicture(shape)) return region.release();
    if (cutAway != nullptr) *cutAway = bitmap != nullptr && cutsWholePicture(shape);
    for (const platform::Rect& run : shape.cuts) {
        OwnedObject runRegion(platform::CreateRectRgn(run.left, run.top, run.right, run.bottom));
        OwnedObject remaining(platform::CreateRectRgn(0, 0, 0, 0));
        platform::CombineRgn(remaining.get(), region.get(), runRegion.get(), platform::RGN_DIFF);
        region = std::move(remaining);
    }
    return region.release();
}
