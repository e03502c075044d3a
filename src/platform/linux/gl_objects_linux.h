// What the graphics side's objects share. Their reference count is
// platform::RefCounted (platform/ref.h). This backend makes the only
// implementations of the graphics interfaces, so an interface pointer handed
// back to it is one of its own objects.
#pragma once

#include <cstdint>

namespace platform::gl {

// Result codes the graphics side hands back, Direct3D's: E_FAIL,
// E_OUTOFMEMORY, D3DERR_INVALIDCALL, D3DERR_NOTAVAILABLE, D3DERR_DEVICELOST,
// D3DERR_DEVICENOTRESET, D3DXERR_INVALIDDATA.
inline constexpr int32_t kOk = 0;
inline constexpr int32_t kFail = static_cast<int32_t>(0x80004005);
inline constexpr int32_t kOutOfMemory = static_cast<int32_t>(0x8007000E);
inline constexpr int32_t kInvalidCall = static_cast<int32_t>(0x8876086C);
inline constexpr int32_t kNotAvailable = static_cast<int32_t>(0x8876086A);
inline constexpr int32_t kDeviceLost = static_cast<int32_t>(0x88760868);
inline constexpr int32_t kDeviceNotReset = static_cast<int32_t>(0x88760869);
inline constexpr int32_t kInvalidData = static_cast<int32_t>(0x88760B59);

}  // namespace platform::gl
