// The grab of a screen rectangle: the root window's pixels, other programs'
// windows included, as 24-bit bottom-up rows.
//
// Where the server offers MIT-SHM the pixels arrive in a shared-memory image
// that is kept from one grab to the next (made again when the size changes
// or the display's layout does): no copy through the socket and no
// allocation per frame. Elsewhere (a remote server, no shared memory) each
// grab is an XGetImage.
//
// The capture only asks for rectangles on a monitor, but the layout can
// change between a frame's question and the server's answer: every request
// here runs under an error trap, as Xlib's default handler for an X error
// ends the process.
//
// On a Wayland desktop the X server is XWayland, whose root window holds no
// picture: reading it fails (BadMatch) or gives black. There the grab comes
// from the compositor (compositor_grab_linux.h). That is told by measuring,
// once, and only where WAYLAND_DISPLAY is set: an X server of its own keeps
// the root grab, and one without Wayland pays nothing for the question.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/linux/compositor_grab_linux.h"
#include "platform/linux/screen_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/window_system.h"

namespace platform {
namespace {

// Collects the X errors of the requests made while it lives instead of
// letting them reach the handler that was set before; errors of earlier
// requests still go there.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : display_(display), firstRequest_(NextRequest(display)) {
        previous_ = XSetErrorHandler(&ErrorTrap::onError);
        outer_ = active_;
        active_ = this;
    }
    ~ErrorTrap() {
        active_ = outer_;
        XSetErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Whether a request failed; a request without a reply has been answered
    // only after `sync`.
    bool failed(bool sync = false) {
        if (sync) XSync(display_, False);
        return failed_;
    }

private:
    static int onError(Display* display, XErrorEvent* error) {
        ErrorTrap* trap = active_;
        if (trap == nullptr) return 0;
        if (display == trap->display_ && error->serial >= trap->firstRequest_) {
            trap->failed_ = true;
            return 0;
        }
        return trap->previous_ != nullptr ? trap->previous_(display, error) : 0;
    }

    static inline ErrorTrap* active_ = nullptr;
    Display* display_;
    unsigned long firstRequest_;
    XErrorHandler previous_ = nullptr;
    ErrorTrap* outer_ = nullptr;
    bool failed_ = false;
};

struct ImageDeleter {
    void operator()(XImage* image) const { XDestroyImage(image); }
};
using ImagePointer = std::unique_ptr<XImage, ImageDeleter>;

// The shared-memory image the grabs land in, kept while its size and the
// display stay.
class SharedImage {
public:
    SharedImage() = default;
    SharedImage(const SharedImage&) = delete;
    SharedImage& operator=(const SharedImage&) = delete;
    // At the program's end the connection may be closed already: only this
    // side lets go, the server drops its attachment with the connection.
    ~SharedImage() { forget(); }

    // Whether MIT-SHM can be used on `display` (not asked again once it
    // could not).
    bool usable(Display* display) {
        if (display != display_) {
            release();
            display_ = display;
            unusable_ = !XShmQueryExtension(display);
        }
        return !unusable_;
    }

    // The kept image of `width` by `height`, made when needed; null where it
    // cannot be made (MIT-SHM is then left alone).
    XImage* prepare(int width, int height) {
        if (image_ != nullptr && image_->width == width && image_->height == height)
            return image_.get();
        release();
        if (!create(width, height)) {
            release();
            unusable_ = true;
        }
        return image_.get();
    }

    void release() {
        if (attached_) XShmDetach(display_, &segment_);
        forget();
    }

private:
    // Lets go of this side: the image and the process's attachment.
    void forget() {
        attached_ = false;
        if (image_ != nullptr) image_->data = nullptr;  // the segment's, not the heap's
        image_.reset();
        if (segment_.shmaddr != nullptr) ::shmdt(segment_.shmaddr);
        segment_ = {};
    }

    bool create(int width, int height) {
        const int screen = DefaultScreen(display_);
        image_.reset(XShmCreateImage(display_, DefaultVisual(display_, screen),
                                     static_cast<unsigned>(DefaultDepth(display_, screen)), ZPixmap,
                                     nullptr, &segment_, static_cast<unsigned>(width),
                                     static_cast<unsigned>(height)));
        if (image_ == nullptr) return false;
        const size_t bytes = static_cast<size_t>(image_->bytes_per_line) * image_->height;
        segment_.shmid = ::shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (segment_.shmid < 0) return false;
        void* address = ::shmat(segment_.shmid, nullptr, 0);
        // Removed now: the segment then goes with the last detachment, even
        // if the program is killed.
        ::shmctl(segment_.shmid, IPC_RMID, nullptr);
        if (address == reinterpret_cast<void*>(-1)) return false;
        segment_.shmaddr = image_->data = static_cast<char*>(address);
        segment_.readOnly = False;
        ErrorTrap trap(display_);
        XShmAttach(display_, &segment_);
        attached_ = !trap.failed(true);  // a server on another machine refuses
        return attached_;
    }

    Display* display_ = nullptr;
    ImagePointer image_;
    XShmSegmentInfo segment_{};
    bool attached_ = false;
    bool unusable_ = false;
};

SharedImage& sharedImage() {
    static SharedImage image;
    return image;
}

// The rectangle's pixels in an image of their own (no MIT-SHM).
ImagePointer fetchImage(Display* display, const Rect& area, int width, int height) {
    ErrorTrap trap(display);
    ImagePointer image(XGetImage(display, DefaultRootWindow(display), area.left, area.top,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height),
                                 AllPlanes, ZPixmap));
    if (trap.failed()) image.reset();
    return image;
}

bool fetchShared(Display* display, XImage* image, const Rect& area) {
    ErrorTrap trap(display);
    return XShmGetImage(display, DefaultRootWindow(display), image, area.left, area.top,
                        AllPlanes) &&
           !trap.failed();
}

// One colour channel of a pixel, scaled to 0..255.
uint8_t channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    const unsigned long value = (pixel & mask) >> std::countr_zero(mask);
    const int bits = std::popcount(mask);
    if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
    return static_cast<uint8_t>(value * 255 / ((1ul << bits) - 1));
}

// The image's rows as bottom-up BGR rows of `stride` bytes, padding zeroed.
// The usual 32-bit layout is copied byte by byte; any other true-colour
// layout through XGetPixel. False for a visual with a colour map.
bool copyRows(const XImage& image, const Visual& visual, uint8_t* pixels, size_t stride) {
    if (visual.c_class != TrueColor && visual.c_class != DirectColor) return false;
    const bool usual = image.bits_per_pixel == 32 && image.byte_order == LSBFirst &&
                       visual.red_mask == 0xFF0000 && visual.green_mask == 0xFF00 &&
                       visual.blue_mask == 0xFF;
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    for (int y = 0; y < image.height; ++y) {
        uint8_t* to = pixels + stride * static_cast<size_t>(image.height - 1 - y);
        if (usual) {
            const auto* from = reinterpret_cast<const uint8_t*>(image.data) +
                               static_cast<size_t>(image.bytes_per_line) * y;
            for (int x = 0; x < image.width; ++x, from += 4, to += 3) {
                to[0] = from[0];
                to[1] = from[1];
                to[2] = from[2];
            }
        } else {
            auto& source = const_cast<XImage&>(image);  // XGetPixel takes no const image
            for (int x = 0; x < image.width; ++x, to += 3) {
                const unsigned long pixel = XGetPixel(&source, x, y);
                to[0] = channel(pixel, visual.blue_mask);
                to[1] = channel(pixel, visual.green_mask);
                to[2] = channel(pixel, visual.red_mask);
            }
        }
        std::memset(to, 0, stride - rowBytes);
    }
    return true;
}

bool contains(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// --- where the picture is ------------------------------------------------------

enum class Source { unknown, root, compositor };

// Grabs measured before the answer is taken to be the root: our windows
// are drawn within a few frames.
constexpr int kMeasuringGrabs = 300;

bool allBlack(XImage& image, const Visual& visual) {
    const unsigned long colour = visual.red_mask | visual.green_mask | visual.blue_mask;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if ((XGetPixel(&image, x, y) & colour) != 0) return false;
    return true;
}

// What a viewable window of ours shows, read from the window itself, and
// where that lies on the root window; null where it shows nothing yet.
ImagePointer ownPicture(Display* display, const x11::WindowObject& window, Rect& onRoot) {
    XWindowAttributes attributes{};
    ::Window child = None;
    int x = 0;
    int y = 0;
    ErrorTrap trap(display);
    if (!XGetWindowAttributes(display, window.xwindow, &attributes) ||
        attributes.map_state != IsViewable ||
        !XTranslateCoordinates(display, window.xwindow, DefaultRootWindow(display), 0, 0, &x, &y,
                               &child))
        return nullptr;
    const Rect root = x11::rootRect();
    onRoot = {std::max(x, root.left), std::max(y, root.top),
              std::min(x + attributes.width, root.right),
              std::min(y + attributes.height, root.bottom)};
    if (onRoot.right <= onRoot.left || onRoot.bottom <= onRoot.top) return nullptr;
    ImagePointer image(XGetImage(display, window.xwindow, onRoot.left - x, onRoot.top - y,
                                 static_cast<unsigned>(onRoot.right - onRoot.left),
                                 static_cast<unsigned>(onRoot.bottom - onRoot.top), AllPlanes,
                                 ZPixmap));
    if (trap.failed() || image == nullptr ||
        allBlack(*image, *DefaultVisual(display, DefaultScreen(display))))
        return nullptr;
    return image;
}

// Whether the root window shows the screen: XWayland refuses to read it or
// gives black where one of our windows is drawn.
Source measureSource(Display* display) {
    if (fetchImage(display, {0, 0, 1, 1}, 1, 1) == nullptr) return Source::compositor;
    const Visual& visual = *DefaultVisual(display, DefaultScreen(display));
    for (WindowHandle handle : x11::allWindows()) {
        const x11::WindowObject* window = x11::findWindow(handle);
        if (window == nullptr || !x11::isTopLevel(*window) || window->xwindow == None) continue;
        Rect onRoot{};
        if (ownPicture(display, *window, onRoot) == nullptr) continue;
        const ImagePointer root =
            fetchImage(display, onRoot, onRoot.right - onRoot.left, onRoot.bottom - onRoot.top);
        if (root == nullptr || allBlack(*root, visual)) return Source::compositor;
        return Source::root;
    }
    return Source::unknown;
}

Source grabSource(Display* display) {
    static Source source = [] {
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        return wayland != nullptr && wayland[0] != '\0' ? Source::unknown : Source::root;
    }();
    static int measured = 0;
    if (source == Source::unknown) {
        source = measureSource(display);
        if (source == Source::unknown && ++measured >= kMeasuringGrabs) source = Source::root;
        if (source == Source::compositor) sharedImage().release();
    }
    return source;
}

}  // namespace

void x11::releaseGrabImage() { sharedImage().release(); }

uint32_t grabScreen(const Rect& area, uint8_t* pixels, size_t size) {
    const std::optional<GrabLayout> layout = grabLayout(area, size);
    if (pixels == nullptr || !layout) return 0;
    Display* display = x11::display();
    // A rectangle off the root window is an error for the server.
    if (display == nullptr || !contains(x11::rootRect(), area)) return 0;
    const int w = layout->width;
    const int h = layout->height;
    if (grabSource(display) == Source::compositor)
        return x11::grabFromCompositor(area, *layout, pixels);
    const uint64_t stride = layout->stride;
    const Visual& visual = *DefaultVisual(display, DefaultScreen(display));

    SharedImage& shared = sharedImage();
    if (shared.usable(display)) {
        XImage* image = shared.prepare(w, h);
        if (image != nullptr) {
            if (!fetchShared(display, image, area) || !copyRows(*image, visual, pixels, stride)) {
                shared.release();  // made anew next time, in case the display changed
                return 0;
            }
            return layout->bytes;
        }
    }
    const ImagePointer image = fetchImage(display, area, w, h);
    if (image == nullptr || !copyRows(*image, visual, pixels, stride)) return 0;
    return layout->bytes;
}

}  // namespace platform
