// The Windows, Direct3D 9, D3DX 9 and DirectInput 8 headers, for the files of
// this backend only. Some of the system headers define macros named like our
// own platform functions (D3DXCreateFontIndirect and friends pick the A or W
// variant); they are removed here so that our names stay our names.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif

#include <windows.h>
// windows.h first
#include <commctrl.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <dinput.h>
#include <objbase.h>

#undef D3DXCreateFontIndirect
#undef D3DXLoadMeshFromX
#undef D3DXCreateTextureFromFile
