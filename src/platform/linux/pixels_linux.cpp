#include "platform/linux/pixels_linux.h"

#include <X11/Xutil.h>

#include <bit>
#include <cstdlib>
#include <memory>

#include "platform/linux/visuals_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"

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

// The 32-bit visual with alpha is taken only with this layout.
const Format& formatOf(const WindowVisual& visual) {
    static const Format eightBits{channelOf(0xFF0000), channelOf(0xFF00), channelOf(0xFF), true};
    return visual.opaque != 0 ? eightBits : screenFormat();
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

unsigned long xPixelOfRgb(const WindowVisual& visual, uint32_t rgb) {
    const Format& format = formatOf(visual);
    return scaledInto((rgb >> 16) & 0xFF, format.red) |
           scaledInto((rgb >> 8) & 0xFF, format.green) | scaledInto(rgb & 0xFF, format.blue) |
           visual.opaque;
}

uint32_t rgbOfXPixel(const Format& format, unsigned long pixel) {
    return (scaledOut(pixel, format.red) << 16) | (scaledOut(pixel, format.green) << 8) |
           scaledOut(pixel, format.blue);
}

bool copiesDirectly(const XImage& image, const Format& format) {
    constexpr bool kHostLeastFirst = std::endian::native == std::endian::little;
    return format.direct && image.bits_per_pixel == 32 &&
           (image.byte_order == LSBFirst) == kHostLeastFirst;
}

}  // namespace

unsigned long xPixelOf(const WindowVisual& visual, uint32_t colourRef) {
    return xPixelOfRgb(
        visual, ((colourRef & 0xFF) << 16) | (colourRef & 0xFF00) | ((colourRef >> 16) & 0xFF));
}

GC sharedGc(::Drawable target) {
    Display* connection = display();
    static const GC screenGc = XCreateGC(connection, DefaultRootWindow(connection), 0, nullptr);
    if (visualOf(target).depth == screenVisual().depth) return screenGc;
    // A GC serves drawables of its own depth only: this one is made on a
    // pixmap of the alpha visual's.
    static const GC alphaGc = [connection] {
        const Pixmap pixmap =
            XCreatePixmap(connection, DefaultRootWindow(connection), 1, 1, alphaVisual()->depth);
        const GC gc = XCreateGC(connection, pixmap, 0, nullptr);
        XFreePixmap(connection, pixmap);
        return gc;
    }();
    return alphaGc;
}

void putPixels(::Drawable target, const BitmapObject& source, const Rect& area, Point at) {
    Display* connection = display();
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (connection == nullptr || width <= 0 || height <= 0) return;
    const WindowVisual& visual = visualOf(target);
    OwnedImage image(XCreateImage(connection, visual.visual, static_cast<unsigned>(visual.depth),
                                  ZPixmap, 0, nullptr, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), 32, 0));
    if (image == nullptr) return;
    image->data = static_cast<char*>(
        std::malloc(static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(height)));
    if (image->data == nullptr) return;
    const bool direct = copiesDirectly(*image, formatOf(visual));
    const auto opaque = static_cast<uint32_t>(visual.opaque);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row =
            source.pixels.data() +
            static_cast<size_t>(area.top + y) * static_cast<size_t>(source.width) +
            static_cast<size_t>(area.left);
        auto* line = reinterpret_cast<uint32_t*>(
            image->data + static_cast<size_t>(y) * static_cast<size_t>(image->bytes_per_line));
        for (int x = 0; x < width; ++x) {
            if (direct) {
                line[x] = row[x] | opaque;
            } else {
                XPutPixel(image.get(), x, y, xPixelOfRgb(visual, row[x]));
            }
        }
    }
    XPutImage(connection, target, sharedGc(target), image.get(), 0, 0, at.x, at.y,
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
    const Format& format = formatOf(visualOf(source));
    const bool direct = copiesDirectly(*image, format);
    for (int y = 0; y < height; ++y) {
        uint32_t* row = target.pixels.data() +
                        static_cast<size_t>(at.y + y) * static_cast<size_t>(target.width) +
                        static_cast<size_t>(at.x);
        const auto* line = reinterpret_cast<const uint32_t*>(
            image->data + static_cast<size_t>(y) * static_cast<size_t>(image->bytes_per_line));
        for (int x = 0; x < width; ++x)
            row[x] =
                direct ? line[x] & 0xFFFFFF : rgbOfXPixel(format, XGetPixel(image.get(), x, y));
    }
    return true;
}

void fillArea(::Drawable target, const Rect& area, uint32_t colourRef) {
    Display* connection = display();
    if (connection == nullptr || area.right <= area.left || area.bottom <= area.top) return;
    const GC gc = sharedGc(target);
    XSetForeground(connection, gc, xPixelOf(visualOf(target), colourRef));
    XFillRectangle(connection, target, gc, area.left, area.top,
                   static_cast<unsigned>(area.right - area.left),
                   static_cast<unsigned>(area.bottom - area.top));
}

}  // namespace platform::x11
