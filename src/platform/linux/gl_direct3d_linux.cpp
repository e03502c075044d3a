// COM start and end (nothing to do here), and the Direct3D object: there when
// the X server offers GLX 1.3, making devices on the program's windows.
#include <GL/glx.h>

#include "platform/graphics.h"
#include "platform/linux/gl_device_linux.h"
#include "platform/linux/gl_objects_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/ref.h"

namespace platform {
namespace {

class Direct3D final : public RefCounted<Direct3D9> {
public:
    explicit Direct3D(Display* display) : display_(display) {}

    // Every device type and vertex processing is the same device here. It
    // draws into the parameters' device window, else the focus window.
    int32_t CreateDevice(uint32_t /*adapter*/, uint32_t /*deviceType*/, WindowHandle focusWindow,
                         uint32_t /*behaviourFlags*/, PresentParameters* parameters,
                         Direct3DDevice9** device) override {
        if (device != nullptr) *device = nullptr;
        if (parameters == nullptr || device == nullptr) return gl::kInvalidCall;
        const WindowHandle window =
            parameters->deviceWindow != nullptr ? parameters->deviceWindow : focusWindow;
        gl::Device* created = nullptr;
        const int32_t result = gl::Device::create(display_, window, *parameters, &created);
        *device = created;
        return result;
    }

private:
    ~Direct3D() override = default;

    Display* display_;
};

// GLX 1.3: configurations chosen by their visual.
bool hasGlx(Display* display) {
    int errorBase = 0;
    int eventBase = 0;
    int major = 0;
    int minor = 0;
    return glXQueryExtension(display, &errorBase, &eventBase) &&
           glXQueryVersion(display, &major, &minor) && (major > 1 || minor >= 3);
}

}  // namespace

int32_t CoInitialize(void* /*reserved*/) { return gl::kOk; }

void CoUninitialize() {}

Direct3D9* Direct3DCreate9(uint32_t /*sdkVersion*/) {
    Display* display = x11::display();
    if (display == nullptr || !hasGlx(display)) return nullptr;
    return new Direct3D(display);
}

}  // namespace platform
