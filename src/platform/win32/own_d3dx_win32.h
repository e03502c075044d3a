// Shared by our own D3DX functions (own_d3dx_*.cpp): the texture cache that
// the font gives back at shutdown. Their objects wrap no native COM object and
// count their references with platform::RefCounted (platform/ref.h); what
// they read of files is in d3dx/files.h.
#pragma once

#include "platform/win32/native_win32.h"

namespace platform::win32 {

// Gives back the textures cached for this device (own_d3dx_texture_win32.cpp); the
// font calls it as it goes, which at shutdown is just before the device.
void releaseTextureCache(IDirect3DDevice9* device);

}  // namespace platform::win32
