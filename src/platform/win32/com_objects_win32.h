// Our reference-counted interfaces over the native COM objects. Each wrapper
// holds one reference to its native object; our Release gives our reference
// up, and when none is left, releases the native reference and deletes the
// wrapper. This backend makes the only implementations of our interfaces, so
// an interface pointer handed back to it is one of these wrappers.
#pragma once

#include <cstdint>

#include "platform/graphics.h"
#include "platform/win32/native_win32.h"

namespace platform::win32 {

template <class Interface, class Native>
class ComObject : public Interface {
public:
    explicit ComObject(Native* native) : native_(native) {}
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    uint32_t AddRef() { return ++count_; }
    uint32_t Release() override {
        if (--count_ != 0) return count_;
        native_->Release();
        delete this;
        return 0;
    }

    Native* native() const { return native_; }

protected:
    virtual ~ComObject() = default;

private:
    Native* native_;
    uint32_t count_ = 1;
};

using TextureObject = ComObject<Direct3DTexture9, IDirect3DTexture9>;

// The native object behind one of our objects, or null.
inline IDirect3DTexture9* nativeTexture(Direct3DTexture9* texture) {
    return texture != nullptr ? static_cast<TextureObject*>(texture)->native() : nullptr;
}
IDirect3DDevice9* nativeDevice(Direct3DDevice9* device);

// Wraps a native object just handed out with one reference; null stays null.
template <class Wrapper, class Native>
Wrapper* wrap(Native* native) {
    return native != nullptr ? new Wrapper(native) : nullptr;
}

}  // namespace platform::win32
