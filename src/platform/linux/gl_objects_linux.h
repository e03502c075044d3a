// What the graphics side's objects share. Their reference count is
// platform::RefCounted (platform/ref.h). This backend makes the only
// implementations of the graphics interfaces, so an interface pointer handed
// back to it is one of its own objects.
#pragma once

#include <cstdint>

#include "platform/windows_values.h"

namespace platform::gl {

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
