// Shared by our own D3DX functions (own_d3dx_*.cpp): reference counting for
// objects that wrap no native COM object, and the texture cache that the font
// gives back at shutdown. What they read of files is in d3dx/files.h.
#pragma once

#include <cstdint>

#include "platform/win32/native_win32.h"

namespace platform::win32 {

template <class Interface>
class OwnObject : public Interface {
public:
    OwnObject() = default;
    OwnObject(const OwnObject&) = delete;
    OwnObject& operator=(const OwnObject&) = delete;

    uint32_t Release() override {
        if (--count_ != 0) return count_;
        delete this;
        return 0;
    }

protected:
    virtual ~OwnObject() = default;

private:
    uint32_t count_ = 1;
};

// Gives back the textures cached for this device (own_d3dx_texture.cpp); the
// font calls it as it goes, which at shutdown is just before the device.
void releaseTextureCache(IDirect3DDevice9* device);

}  // namespace platform::win32
