#include "platform/linux/pixels_linux.h"

#include <X11/Xutil.h>

#include <bit>
#include <cstdlib>
#include <memory>

#include "platform/linux/x11_windows.h"

namespace platform::x11 {
namespace {

struct ImageDeleter {
    void operator()(XImage* image) const { XDestroyImage(image); }
};
using OwnedImage = std::unique_ptr<XImage, ImageDeleter>;

// A channel of the visual: where its bits lie and how many there are.
struct Channel {
    unsigned long mask;
    int shift;
    int bits;
};

Channel channelOf(unsigned long mask) {
    if (mask == 0) return {0, 0, 0};
    const int shift = std::countr_zero(mask);
    return {mask, shift, std::popcount(mask)};
}

struct Format {
    Channel red;
    Channel green;
    Channel blue;
    // The visual is 8 bits a channel at 0xFF0000, 0xFF00, 0xFF: our own
    // pixel layout, copied as it is into 32-bit images of the host's order.
    bool direct;
};

const Format& screenFormat() {
    static const Format format = [] {
        Display* connection = display();
        const Visual* visual = DefaultVisual(connection, DefaultScreen(connection));
        Format made{channelOf(visual->red_mask), channelOf(visual->green_mask),
                    channelOf(visual->blue_mask), false};
        made.direct = visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 &&
                      visual->blue_mask == 0xFF;
        return made;
    }();
    return format;
}

unsigned long scaledInto(uint32_t value8, const Channel& channel) {
    if (channel.bits == 0) return 0;
    const unsigned long value =
        channel.bits >= 8 ? value8 << (channel.bits - 8) : value8 >> (8 - channel.bits);
    return (value << channel.shift) & channel.mask;
}

uint32_t scaledOut(unsigned long pixel, const Channel& channel) {
    if (channel.bits == 0) return 0;
    const unsigned long value = (pixel & channel.mask) >> channel.shift;
    if (channel.bits >= 8) return static_cast<uint32_t>(value >> (channel.bits - 8));
    return static_cast<uint32_t>((value << (8 - channel.bits)) & 0xFF);
}

unsigned long xPixelOfRgb(uint32_t rgb) {
    const Format& format = screenFormat();
    return scaledInto((rgb >> 16) & 0xFF, format.red) |
           scaledInto((rgb >> 8) & 0xFF, format.green) | scaledInto(rgb & 0xFF, format.blue);
}

uint32_t rgbOfXPixel(unsigned long pixel) {
    const Format& format = screenFormat();
    return (scaledOut(pixel, format.red) << 16) | (scaledOut(pixel, format.green) << 8) |
           scaledOut(pixel, format.blue);
}

bool copiesDirectly(const XImage& image) {
    constexpr bool kHostLeastFirst = std::endian::native == std::endian::little;
    return screenFormat().direct && image.bits_per_pixel == 32 &&
           (image.byte_order == LSBFirst) == kHostLeastFirst;
}

}  // namespace

unsigned long xPixelOf(uint32_t colourRef) {
    return xPixelOfRgb(((colourRef & 0xFF) << 16) | (colourRef & 0xFF00) |
                       ((colourRef >> 16) & 0xFF));
}

GC sharedGc() {
    static const GC gc = [] {
        Display* connection = display();
        return XCreateGC(connection, DefaultRootWindow(connection), 0, nullptr);
    }();
    return gc;
}

void putPixels(::Drawable target, const BitmapObject& source, const Rect& area, Point at) {
    Display* connection = display();
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (connection == nullptr || width <= 0 || height <= 0) return;
    const int screen = DefaultScreen(connection);
    OwnedImage image(XCreateImage(connection, DefaultVisual(connection, screen),
                                  static_cast<unsigned>(DefaultDepth(connection, screen)), ZPixmap,
                                  0, nullptr, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), 32, 0));
    if (image == nullptr) return;
    image->data = static_cast<char*>(
        std::malloc(static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(height)));
    if (image->data == nullptr) return;
    const bool direct = copiesDirectly(*image);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row =
            source.pixels.data() +
            static_cast<size_t>(area.top + y) * static_cast<size_t>(source.width) +
            static_cast<size_t>(area.left);
        auto* line = reinterpret_cast<uint32_t*>(
            image->data + static_cast<size_t>(y) * static_cast<size_t>(image->bytes_per_line));
        for (int x = 0; x < width; ++x) {
            if (direct) {
                line[x] = row[x];
            } else {
                XPutPixel(image.get(), x, y, xPixelOfRgb(row[x]));
            }
        }
    }
    XPutImage(connection, target, sharedGc(), image.get(), 0, 0, at.x, at.y,
              static_cast<unsigned>(width), static_cast<unsigned>(height));
}

bool getPixels(::Drawable source, const Rect& area, BitmapObject& target, Point at) {
    Display* connection = display();
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (connection == nullptr || width <= 0 || height <= 0) return false;
    OwnedImage image(XGetImage(connection, source, area.left, area.top,
                               static_cast<unsigned>(width), static_cast<unsigned>(height),
                               AllPlanes, ZPixmap));
    if (image == nullptr) return false;
    const bool direct = copiesDirectly(*image);
    for (int y = 0; y < height; ++y) {
        uint32_t* row = target.pixels.data() +
                        static_cast<size_t>(at.y + y) * static_cast<size_t>(target.width) +
                        static_cast<size_t>(at.x);
        const auto* line = reinterpret_cast<const uint32_t*>(
            image->data + static_cast<size_t>(y) * static_cast<size_t>(image->bytes_per_line));
        for (int x = 0; x < width; ++x)
            row[x] = direct ? line[x] & 0xFFFFFF : rgbOfXPixel(XGetPixel(image.get(), x, y));
    }
    return true;
}

void fillArea(::Drawable target, const Rect& area, uint32_t colourRef) {
    Display* connection = display();
    if (connection == nullptr || area.right <= area.left || area.bottom <= area.top) return;
    XSetForeground(connection, sharedGc(), xPixelOf(colourRef));
    XFillRectangle(connection, target, sharedGc(), area.left, area.top,
                   static_cast<unsigned>(area.right - area.left),
                   static_cast<unsigned>(area.bottom - area.top));
}

}  // namespace platform::x11
