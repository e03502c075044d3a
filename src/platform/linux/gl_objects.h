// Reference counting for the graphics side's objects: each Release gives up
// one reference, the last one deletes the object. This backend makes the only
// implementations of the graphics interfaces, so an interface pointer handed
// back to it is one of its own objects.
#pragma once

#include <cstdint>

#include "platform/windows_values.h"

namespace platform::gl {

template <class Interface>
class RefCounted : public Interface {
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    uint32_t AddRef() { return ++count_; }
    uint32_t Release() override {
        if (--count_ != 0) return count_;
        delete this;
        return 0;
    }

protected:
    virtual ~RefCounted() = default;

private:
    uint32_t count_ = 1;
};

// Result codes the graphics side hands back, Direct3D's.
inline constexpr int32_t kOk = D3D_OK;
inline constexpr int32_t kFail = E_FAIL;
inline constexpr int32_t kOutOfMemory = E_OUTOFMEMORY;
inline constexpr int32_t kInvalidCall = D3DERR_INVALIDCALL;
inline constexpr int32_t kNotAvailable = D3DERR_NOTAVAILABLE;
inline constexpr int32_t kDeviceLost = D3DERR_DEVICELOST;
inline constexpr int32_t kDeviceNotReset = D3DERR_DEVICENOTRESET;
inline constexpr int32_t kInvalidData = D3DXERR_INVALIDDATA;

}  // namespace platform::gl
