// Every Win32, GDI and Direct3D 9 value the program passes across the
// platform layer, or gets back from it, with Windows' own names and numbers.
// This is the one place they are written: the portable code, the recording
// fake and the Linux backend use these names, and the Windows backend checks
// each one against windows.h and d3d9.h (values_check_win32.cpp).
//
// The list is closed: a value the program does not pass is not here. A call
// that meets a value outside its family is a value no backend was made for;
// the Linux backend reports it and the fake fails the test.
//
// Each family is a list of X(type, NAME, value) entries, so that the check
// and the membership tests below are made from the same lines. Including this
// header defines the names in namespace platform; a file that has windows.h
// (where the names are macros) defines T462_WINDOWS_VALUES_LIST_ONLY first
// and gets the lists alone.
#pragma once

#include <cstddef>
#include <cstdint>

// --- window messages ------------------------------------------------------
// The messages the program's windows and the Linux backend's controls send
// and handle. On Linux WM_CHAR carries a Unicode code point.
#define T462_WINDOW_MESSAGES(X)           \
    X(uint32_t, WM_CREATE, 0x0001)        \
    X(uint32_t, WM_DESTROY, 0x0002)       \
    X(uint32_t, WM_SETFOCUS, 0x0007)      \
    X(uint32_t, WM_KILLFOCUS, 0x0008)     \
    X(uint32_t, WM_PAINT, 0x000F)         \
    X(uint32_t, WM_CLOSE, 0x0010)         \
    X(uint32_t, WM_QUIT, 0x0012)          \
    X(uint32_t, WM_SETFONT, 0x0030)       \
    X(uint32_t, WM_NCLBUTTONDOWN, 0x00A1) \
    X(uint32_t, WM_KEYDOWN, 0x0100)       \
    X(uint32_t, WM_KEYUP, 0x0101)         \
    X(uint32_t, WM_CHAR, 0x0102)          \
    X(uint32_t, WM_COMMAND, 0x0111)       \
    X(uint32_t, WM_MOUSEMOVE, 0x0200)     \
    X(uint32_t, WM_LBUTTONDOWN, 0x0201)   \
    X(uint32_t, WM_LBUTTONUP, 0x0202)     \
    X(uint32_t, WM_LBUTTONDBLCLK, 0x0203) \
    X(uint32_t, WM_MBUTTONDOWN, 0x0207)

// --- what messages carry ---------------------------------------------------
// PeekMessageA's removal flag, the controls' notification codes in
// WM_COMMAND, hit-test codes in WM_NCLBUTTONDOWN and the button flag of mouse
// messages.
#define T462_MESSAGE_DETAILS(X)     \
    X(uint32_t, PM_REMOVE, 0x0001)  \
    X(uint16_t, BN_CLICKED, 0x0000) \
    X(uint16_t, EN_CHANGE, 0x0300)  \
    X(uintptr_t, HTCAPTION, 2)      \
    X(uintptr_t, HTBORDER, 18)      \
    X(uintptr_t, MK_LBUTTON, 0x0001)

// --- keys -------------------------------------------------------------------
// The virtual-key codes the program polls, the Linux backend makes of X keys
// and its controls handle. Letters and main-keyboard digits are their
// upper-case ASCII codes and are not listed; VK_NUMPAD1..9 follow VK_NUMPAD0
// and VK_F2..F24 follow VK_F1.
#define T462_VIRTUAL_KEYS(X)        \
    X(int32_t, VK_LBUTTON, 0x01)    \
    X(int32_t, VK_BACK, 0x08)       \
    X(int32_t, VK_TAB, 0x09)        \
    X(int32_t, VK_CLEAR, 0x0C)      \
    X(int32_t, VK_RETURN, 0x0D)     \
    X(int32_t, VK_SHIFT, 0x10)      \
    X(int32_t, VK_CONTROL, 0x11)    \
    X(int32_t, VK_MENU, 0x12)       \
    X(int32_t, VK_PAUSE, 0x13)      \
    X(int32_t, VK_CAPITAL, 0x14)    \
    X(int32_t, VK_ESCAPE, 0x1B)     \
    X(int32_t, VK_SPACE, 0x20)      \
    X(int32_t, VK_PRIOR, 0x21)      \
    X(int32_t, VK_NEXT, 0x22)       \
    X(int32_t, VK_END, 0x23)        \
    X(int32_t, VK_HOME, 0x24)       \
    X(int32_t, VK_LEFT, 0x25)       \
    X(int32_t, VK_UP, 0x26)         \
    X(int32_t, VK_RIGHT, 0x27)      \
    X(int32_t, VK_DOWN, 0x28)       \
    X(int32_t, VK_SNAPSHOT, 0x2C)   \
    X(int32_t, VK_INSERT, 0x2D)     \
    X(int32_t, VK_DELETE, 0x2E)     \
    X(int32_t, VK_LWIN, 0x5B)       \
    X(int32_t, VK_RWIN, 0x5C)       \
    X(int32_t, VK_APPS, 0x5D)       \
    X(int32_t, VK_NUMPAD0, 0x60)    \
    X(int32_t, VK_MULTIPLY, 0x6A)   \
    X(int32_t, VK_ADD, 0x6B)        \
    X(int32_t, VK_SEPARATOR, 0x6C)  \
    X(int32_t, VK_SUBTRACT, 0x6D)   \
    X(int32_t, VK_DECIMAL, 0x6E)    \
    X(int32_t, VK_DIVIDE, 0x6F)     \
    X(int32_t, VK_F1, 0x70)         \
    X(int32_t, VK_F5, 0x74)         \
    X(int32_t, VK_NUMLOCK, 0x90)    \
    X(int32_t, VK_SCROLL, 0x91)     \
    X(int32_t, VK_LSHIFT, 0xA0)     \
    X(int32_t, VK_RSHIFT, 0xA1)     \
    X(int32_t, VK_LCONTROL, 0xA2)   \
    X(int32_t, VK_RCONTROL, 0xA3)   \
    X(int32_t, VK_LMENU, 0xA4)      \
    X(int32_t, VK_RMENU, 0xA5)      \
    X(int32_t, VK_OEM_1, 0xBA)      \
    X(int32_t, VK_OEM_PLUS, 0xBB)   \
    X(int32_t, VK_OEM_COMMA, 0xBC)  \
    X(int32_t, VK_OEM_MINUS, 0xBD)  \
    X(int32_t, VK_OEM_PERIOD, 0xBE) \
    X(int32_t, VK_OEM_2, 0xBF)      \
    X(int32_t, VK_OEM_3, 0xC0)      \
    X(int32_t, VK_OEM_4, 0xDB)      \
    X(int32_t, VK_OEM_5, 0xDC)      \
    X(int32_t, VK_OEM_6, 0xDD)      \
    X(int32_t, VK_OEM_7, 0xDE)      \
    X(int32_t, VK_OEM_102, 0xE2)    \
    X(int32_t, VK_PACKET, 0xE7)

// --- window classes ---------------------------------------------------------
// RegisterClassExA's class styles, LoadIconA's and LoadCursorA's system
// resources, GetSysColor's indices and InitCommonControlsEx's classes.
#define T462_CLASS_STYLES(X)        \
    X(uint32_t, CS_VREDRAW, 0x0001) \
    X(uint32_t, CS_HREDRAW, 0x0002) \
    X(uint32_t, CS_DBLCLKS, 0x0008)

#define T462_SYSTEM_RESOURCES(X)         \
    X(uintptr_t, IDI_APPLICATION, 32512) \
    X(uintptr_t, IDI_WINLOGO, 32517)     \
    X(uintptr_t, IDC_ARROW, 32512)

#define T462_SYSTEM_COLOURS(X)          \
    X(int32_t, COLOR_ACTIVECAPTION, 2)  \
    X(int32_t, COLOR_WINDOW, 5)         \
    X(int32_t, COLOR_WINDOWTEXT, 8)     \
    X(int32_t, COLOR_CAPTIONTEXT, 9)    \
    X(int32_t, COLOR_HIGHLIGHT, 13)     \
    X(int32_t, COLOR_HIGHLIGHTTEXT, 14) \
    X(int32_t, COLOR_BTNFACE, 15)       \
    X(int32_t, COLOR_BTNSHADOW, 16)     \
    X(int32_t, COLOR_BTNTEXT, 18)       \
    X(int32_t, COLOR_BTNHIGHLIGHT, 20)  \
    X(int32_t, COLOR_3DDKSHADOW, 21)    \
    X(int32_t, COLOR_3DLIGHT, 22)

#define T462_COMMON_CONTROLS(X) X(uint32_t, ICC_WIN95_CLASSES, 0x00FF)

// --- window styles ----------------------------------------------------------
// CreateWindowExA's style bits and extended style bits.
#define T462_WINDOW_STYLES(X)                \
    X(uint32_t, WS_POPUP, 0x80000000)        \
    X(uint32_t, WS_CHILD, 0x40000000)        \
    X(uint32_t, WS_VISIBLE, 0x10000000)      \
    X(uint32_t, WS_CLIPCHILDREN, 0x02000000) \
    X(uint32_t, WS_CAPTION, 0x00C00000)      \
    X(uint32_t, WS_BORDER, 0x00800000)       \
    X(uint32_t, WS_DLGFRAME, 0x00400000)     \
    X(uint32_t, WS_SYSMENU, 0x00080000)      \
    X(uint32_t, WS_THICKFRAME, 0x00040000)   \
    X(uint32_t, WS_MINIMIZEBOX, 0x00020000)  \
    X(uint32_t, WS_MAXIMIZEBOX, 0x00010000)

#define T462_EXTENDED_STYLES(X) X(uint32_t, WS_EX_CLIENTEDGE, 0x00000200)

// --- placing windows --------------------------------------------------------
// CreateWindowExA's default place, SetWindowPos's places in the z-order and
// its flags.
#define T462_WINDOW_PLACES(X)                                   \
    X(int32_t, CW_USEDEFAULT, static_cast<int32_t>(0x80000000)) \
    X(intptr_t, HWND_TOP, 0)                                    \
    X(intptr_t, HWND_BOTTOM, 1)                                 \
    X(intptr_t, HWND_TOPMOST, -1)                               \
    X(intptr_t, HWND_NOTOPMOST, -2)

#define T462_POSITION_FLAGS(X)          \
    X(uint32_t, SWP_NOSIZE, 0x0001)     \
    X(uint32_t, SWP_NOMOVE, 0x0002)     \
    X(uint32_t, SWP_NOZORDER, 0x0004)   \
    X(uint32_t, SWP_SHOWWINDOW, 0x0040) \
    X(uint32_t, SWP_HIDEWINDOW, 0x0080)

// --- system metrics ---------------------------------------------------------
// GetSystemMetrics's indices: the primary screen and the virtual screen
// around all monitors.
#define T462_SYSTEM_METRICS(X)         \
    X(int32_t, SM_CXSCREEN, 0)         \
    X(int32_t, SM_CYSCREEN, 1)         \
    X(int32_t, SM_XVIRTUALSCREEN, 76)  \
    X(int32_t, SM_YVIRTUALSCREEN, 77)  \
    X(int32_t, SM_CXVIRTUALSCREEN, 78) \
    X(int32_t, SM_CYVIRTUALSCREEN, 79)

// --- message boxes and waiting ----------------------------------------------
// MessageBoxA's styles and answer; MsgWaitForMultipleObjects's wake mask,
// answer and endless wait.
#define T462_MESSAGE_BOX(X)             \
    X(uint32_t, MB_OK, 0x0000)          \
    X(uint32_t, MB_ICONERROR, 0x0010)   \
    X(uint32_t, MB_ICONWARNING, 0x0030) \
    X(int32_t, IDOK, 1)

#define T462_WAITING(X)              \
    X(uint32_t, QS_ALLINPUT, 0x04FF) \
    X(uint32_t, WAIT_TIMEOUT, 258)   \
    X(uint32_t, INFINITE, 0xFFFFFFFF)

// --- GDI --------------------------------------------------------------------
// BitBlt's raster operation, GetDIBits's colour use and compression,
// CombineRgn's modes and answers.
#define T462_RASTER_OPERATIONS(X) X(uint32_t, SRCCOPY, 0x00CC0020)

#define T462_BITMAP_FORMATS(X)     \
    X(uint32_t, DIB_RGB_COLORS, 0) \
    X(uint32_t, BI_RGB, 0)

#define T462_REGION_MODES(X) \
    X(int32_t, RGN_AND, 1)   \
    X(int32_t, RGN_OR, 2)    \
    X(int32_t, RGN_XOR, 3)   \
    X(int32_t, RGN_DIFF, 4)  \
    X(int32_t, RGN_COPY, 5)

#define T462_REGION_RESULTS(X)  \
    X(int32_t, RGN_ERROR, 0)    \
    X(int32_t, NULLREGION, 1)   \
    X(int32_t, SIMPLEREGION, 2) \
    X(int32_t, COMPLEXREGION, 3)

// LoadImageA's image type and load flags.
#define T462_IMAGE_TYPES(X) X(uint32_t, IMAGE_BITMAP, 0)

#define T462_LOAD_FLAGS(X)               \
    X(uint32_t, LR_LOADFROMFILE, 0x0010) \
    X(uint32_t, LR_DEFAULTSIZE, 0x0040)

// CreateFontA's weight, character set, precisions, quality, pitch and family.
#define T462_FONTS(X)                      \
    X(int32_t, FW_NORMAL, 400)             \
    X(uint32_t, SHIFTJIS_CHARSET, 128)     \
    X(uint32_t, OUT_STROKE_PRECIS, 3)      \
    X(uint32_t, CLIP_STROKE_PRECIS, 2)     \
    X(uint32_t, DRAFT_QUALITY, 1)          \
    X(uint32_t, NONANTIALIASED_QUALITY, 3) \
    X(uint32_t, FIXED_PITCH, 1)            \
    X(uint32_t, VARIABLE_PITCH, 2)         \
    X(uint32_t, FF_ROMAN, 0x10)            \
    X(uint32_t, FF_SWISS, 0x20)            \
    X(uint32_t, FF_MODERN, 0x30)

// DrawTextA's format flags (ID3DXFont::DrawTextA takes GDI's).
#define T462_TEXT_FORMATS(X)           \
    X(uint32_t, DT_EXPANDTABS, 0x0040) \
    X(uint32_t, DT_NOCLIP, 0x0100)

// --- files ------------------------------------------------------------------
// CreateFileA's access, sharing, disposition and attributes.
#define T462_FILES(X)                      \
    X(uint32_t, GENERIC_READ, 0x80000000)  \
    X(uint32_t, GENERIC_WRITE, 0x40000000) \
    X(uint32_t, FILE_SHARE_READ, 0x0001)   \
    X(uint32_t, FILE_SHARE_WRITE, 0x0002)  \
    X(uint32_t, CREATE_NEW, 1)             \
    X(uint32_t, CREATE_ALWAYS, 2)          \
    X(uint32_t, OPEN_EXISTING, 3)          \
    X(uint32_t, OPEN_ALWAYS, 4)            \
    X(uint32_t, TRUNCATE_EXISTING, 5)      \
    X(uint32_t, FILE_ATTRIBUTE_NORMAL, 0x0080)

// --- Direct3D 9: making the device -------------------------------------------
// Direct3DCreate9's version, CreateDevice's adapter, device types and
// behaviour flags, the presentation parameters' swap effect and interval,
// D3DXLoadMeshFromX's options and DirectInput8Create's version.
#define T462_DEVICE_SETUP(X)                               \
    X(uint32_t, D3D_SDK_VERSION, 32)                       \
    X(uint32_t, D3DADAPTER_DEFAULT, 0)                     \
    X(uint32_t, D3DDEVTYPE_HAL, 1)                         \
    X(uint32_t, D3DDEVTYPE_REF, 2)                         \
    X(uint32_t, D3DCREATE_SOFTWARE_VERTEXPROCESSING, 0x20) \
    X(uint32_t, D3DCREATE_HARDWARE_VERTEXPROCESSING, 0x40) \
    X(uint32_t, D3DSWAPEFFECT_DISCARD, 1)                  \
    X(uint32_t, D3DPRESENT_INTERVAL_ONE, 1)                \
    X(uint32_t, D3DXMESH_SYSTEMMEM, 0x110)                 \
    X(uint32_t, DIRECTINPUT_VERSION, 0x0800)

// Surface formats: back buffers and depth buffers.
#define T462_FORMATS(X)              \
    X(uint32_t, D3DFMT_UNKNOWN, 0)   \
    X(uint32_t, D3DFMT_A8R8G8B8, 21) \
    X(uint32_t, D3DFMT_X8R8G8B8, 22) \
    X(uint32_t, D3DFMT_R5G6B5, 23)   \
    X(uint32_t, D3DFMT_D16, 80)

// What the graphics calls answer.
#define T462_RESULTS(X)                                                 \
    X(int32_t, D3D_OK, 0)                                               \
    X(int32_t, E_FAIL, static_cast<int32_t>(0x80004005))                \
    X(int32_t, E_OUTOFMEMORY, static_cast<int32_t>(0x8007000E))         \
    X(int32_t, D3DERR_DEVICELOST, static_cast<int32_t>(0x88760868))     \
    X(int32_t, D3DERR_DEVICENOTRESET, static_cast<int32_t>(0x88760869)) \
    X(int32_t, D3DERR_NOTAVAILABLE, static_cast<int32_t>(0x8876086A))   \
    X(int32_t, D3DERR_INVALIDCALL, static_cast<int32_t>(0x8876086C))    \
    X(int32_t, D3DXERR_INVALIDDATA, static_cast<int32_t>(0x88760B59))

// --- Direct3D 9: drawing -------------------------------------------------------
// Clear's flags, SetTransform's transforms and the light types.
#define T462_CLEAR_FLAGS(X)         \
    X(uint32_t, D3DCLEAR_TARGET, 1) \
    X(uint32_t, D3DCLEAR_ZBUFFER, 2)

#define T462_TRANSFORMS(X)           \
    X(uint32_t, D3DTS_VIEW, 2)       \
    X(uint32_t, D3DTS_PROJECTION, 3) \
    X(uint32_t, D3DTS_WORLD, 256)

#define T462_LIGHT_TYPES(X)        \
    X(uint32_t, D3DLIGHT_POINT, 1) \
    X(uint32_t, D3DLIGHT_SPOT, 2)  \
    X(uint32_t, D3DLIGHT_DIRECTIONAL, 3)

// SetRenderState's states.
#define T462_RENDER_STATES(X)                      \
    X(uint32_t, D3DRS_ZENABLE, 7)                  \
    X(uint32_t, D3DRS_FILLMODE, 8)                 \
    X(uint32_t, D3DRS_SHADEMODE, 9)                \
    X(uint32_t, D3DRS_ZWRITEENABLE, 14)            \
    X(uint32_t, D3DRS_ALPHATESTENABLE, 15)         \
    X(uint32_t, D3DRS_LASTPIXEL, 16)               \
    X(uint32_t, D3DRS_SRCBLEND, 19)                \
    X(uint32_t, D3DRS_DESTBLEND, 20)               \
    X(uint32_t, D3DRS_CULLMODE, 22)                \
    X(uint32_t, D3DRS_ZFUNC, 23)                   \
    X(uint32_t, D3DRS_ALPHAREF, 24)                \
    X(uint32_t, D3DRS_ALPHAFUNC, 25)               \
    X(uint32_t, D3DRS_DITHERENABLE, 26)            \
    X(uint32_t, D3DRS_ALPHABLENDENABLE, 27)        \
    X(uint32_t, D3DRS_FOGENABLE, 28)               \
    X(uint32_t, D3DRS_SPECULARENABLE, 29)          \
    X(uint32_t, D3DRS_TEXTUREFACTOR, 60)           \
    X(uint32_t, D3DRS_CLIPPING, 136)               \
    X(uint32_t, D3DRS_LIGHTING, 137)               \
    X(uint32_t, D3DRS_AMBIENT, 139)                \
    X(uint32_t, D3DRS_COLORVERTEX, 141)            \
    X(uint32_t, D3DRS_LOCALVIEWER, 142)            \
    X(uint32_t, D3DRS_NORMALIZENORMALS, 143)       \
    X(uint32_t, D3DRS_DIFFUSEMATERIALSOURCE, 145)  \
    X(uint32_t, D3DRS_SPECULARMATERIALSOURCE, 146) \
    X(uint32_t, D3DRS_AMBIENTMATERIALSOURCE, 147)  \
    X(uint32_t, D3DRS_EMISSIVEMATERIALSOURCE, 148) \
    X(uint32_t, D3DRS_COLORWRITEENABLE, 168)       \
    X(uint32_t, D3DRS_BLENDOP, 171)

// The render states' values the program sets and Direct3D starts with.
#define T462_RENDER_STATE_VALUES(X)      \
    X(uint32_t, D3DFILL_POINT, 1)        \
    X(uint32_t, D3DFILL_WIREFRAME, 2)    \
    X(uint32_t, D3DFILL_SOLID, 3)        \
    X(uint32_t, D3DSHADE_FLAT, 1)        \
    X(uint32_t, D3DSHADE_GOURAUD, 2)     \
    X(uint32_t, D3DBLEND_ZERO, 1)        \
    X(uint32_t, D3DBLEND_ONE, 2)         \
    X(uint32_t, D3DBLEND_SRCALPHA, 5)    \
    X(uint32_t, D3DBLEND_INVSRCALPHA, 6) \
    X(uint32_t, D3DCULL_CW, 2)           \
    X(uint32_t, D3DCULL_CCW, 3)          \
    X(uint32_t, D3DCMP_LESSEQUAL, 4)     \
    X(uint32_t, D3DCMP_ALWAYS, 8)        \
    X(uint32_t, D3DMCS_COLOR1, 1)        \
    X(uint32_t, D3DMCS_COLOR2, 2)        \
    X(uint32_t, D3DBLENDOP_ADD, 1)

// SetTextureStageState's states, operations and arguments.
#define T462_TEXTURE_STAGE_STATES(X)      \
    X(uint32_t, D3DTSS_COLOROP, 1)        \
    X(uint32_t, D3DTSS_COLORARG1, 2)      \
    X(uint32_t, D3DTSS_COLORARG2, 3)      \
    X(uint32_t, D3DTSS_ALPHAOP, 4)        \
    X(uint32_t, D3DTSS_ALPHAARG1, 5)      \
    X(uint32_t, D3DTSS_ALPHAARG2, 6)      \
    X(uint32_t, D3DTSS_TEXCOORDINDEX, 11) \
    X(uint32_t, D3DTSS_COLORARG0, 26)     \
    X(uint32_t, D3DTSS_ALPHAARG0, 27)     \
    X(uint32_t, D3DTSS_RESULTARG, 28)

#define T462_TEXTURE_STAGE_VALUES(X)  \
    X(uint32_t, D3DTOP_DISABLE, 1)    \
    X(uint32_t, D3DTOP_SELECTARG1, 2) \
    X(uint32_t, D3DTOP_MODULATE, 4)   \
    X(uint32_t, D3DTA_DIFFUSE, 0)     \
    X(uint32_t, D3DTA_CURRENT, 1)     \
    X(uint32_t, D3DTA_TEXTURE, 2)     \
    X(uint32_t, D3DTA_TFACTOR, 3)

// DrawPrimitiveUP's primitive types and SetFVF's vertex format bits.
#define T462_PRIMITIVE_TYPES(X)         \
    X(uint32_t, D3DPT_POINTLIST, 1)     \
    X(uint32_t, D3DPT_LINELIST, 2)      \
    X(uint32_t, D3DPT_LINESTRIP, 3)     \
    X(uint32_t, D3DPT_TRIANGLELIST, 4)  \
    X(uint32_t, D3DPT_TRIANGLESTRIP, 5) \
    X(uint32_t, D3DPT_TRIANGLEFAN, 6)

#define T462_VERTEX_FORMATS(X)                \
    X(uint32_t, D3DFVF_POSITION_MASK, 0x400E) \
    X(uint32_t, D3DFVF_XYZ, 0x0002)           \
    X(uint32_t, D3DFVF_XYZRHW, 0x0004)        \
    X(uint32_t, D3DFVF_XYZW, 0x4002)          \
    X(uint32_t, D3DFVF_NORMAL, 0x0010)        \
    X(uint32_t, D3DFVF_PSIZE, 0x0020)         \
    X(uint32_t, D3DFVF_DIFFUSE, 0x0040)       \
    X(uint32_t, D3DFVF_SPECULAR, 0x0080)      \
    X(uint32_t, D3DFVF_TEX1, 0x0100)

// Every family but the pointer-valued ones (HWND_*, IDI_*, IDC_*), which the
// Windows headers give as casts to handles.
#define T462_WINDOWS_VALUES(X)   \
    T462_WINDOW_MESSAGES(X)      \
    T462_MESSAGE_DETAILS(X)      \
    T462_VIRTUAL_KEYS(X)         \
    T462_CLASS_STYLES(X)         \
    T462_SYSTEM_COLOURS(X)       \
    T462_COMMON_CONTROLS(X)      \
    T462_WINDOW_STYLES(X)        \
    T462_EXTENDED_STYLES(X)      \
    T462_POSITION_FLAGS(X)       \
    T462_SYSTEM_METRICS(X)       \
    T462_MESSAGE_BOX(X)          \
    T462_WAITING(X)              \
    T462_RASTER_OPERATIONS(X)    \
    T462_BITMAP_FORMATS(X)       \
    T462_REGION_MODES(X)         \
    T462_REGION_RESULTS(X)       \
    T462_IMAGE_TYPES(X)          \
    T462_LOAD_FLAGS(X)           \
    T462_FONTS(X)                \
    T462_TEXT_FORMATS(X)         \
    T462_FILES(X)                \
    T462_DEVICE_SETUP(X)         \
    T462_FORMATS(X)              \
    T462_RESULTS(X)              \
    T462_CLEAR_FLAGS(X)          \
    T462_TRANSFORMS(X)           \
    T462_LIGHT_TYPES(X)          \
    T462_RENDER_STATES(X)        \
    T462_RENDER_STATE_VALUES(X)  \
    T462_TEXTURE_STAGE_STATES(X) \
    T462_TEXTURE_STAGE_VALUES(X) \
    T462_PRIMITIVE_TYPES(X)      \
    T462_VERTEX_FORMATS(X)
#define T462_POINTER_VALUES(X) \
    T462_SYSTEM_RESOURCES(X)   \
    T462_WINDOW_PLACES(X)

#ifndef T462_WINDOWS_VALUES_LIST_ONLY

namespace platform {

#define T462_DEFINE_VALUE(type, name, value) inline constexpr type name = value;
T462_WINDOWS_VALUES(T462_DEFINE_VALUE)
T462_POINTER_VALUES(T462_DEFINE_VALUE)
#undef T462_DEFINE_VALUE

// The families a call takes, for telling a value outside them.
#define T462_LISTED_VALUE(type, name, value) name,
inline constexpr uint32_t kListedMessages[] = {T462_WINDOW_MESSAGES(T462_LISTED_VALUE)};
inline constexpr int32_t kListedSystemMetrics[] = {T462_SYSTEM_METRICS(T462_LISTED_VALUE)};
inline constexpr int32_t kListedSystemColours[] = {T462_SYSTEM_COLOURS(T462_LISTED_VALUE)};
inline constexpr uint32_t kListedRasterOperations[] = {T462_RASTER_OPERATIONS(T462_LISTED_VALUE)};
inline constexpr int32_t kListedRegionModes[] = {T462_REGION_MODES(T462_LISTED_VALUE)};
inline constexpr uint32_t kListedFormats[] = {T462_FORMATS(T462_LISTED_VALUE)};
inline constexpr uint32_t kListedRenderStates[] = {T462_RENDER_STATES(T462_LISTED_VALUE)};
inline constexpr uint32_t kListedTextureStageStates[] = {
    T462_TEXTURE_STAGE_STATES(T462_LISTED_VALUE)};
inline constexpr uint32_t kListedTransforms[] = {T462_TRANSFORMS(T462_LISTED_VALUE)};
inline constexpr uint32_t kListedPrimitiveTypes[] = {T462_PRIMITIVE_TYPES(T462_LISTED_VALUE)};
inline constexpr intptr_t kListedWindowPlaces[] = {HWND_TOP, HWND_BOTTOM, HWND_TOPMOST,
                                                   HWND_NOTOPMOST};
#undef T462_LISTED_VALUE

// The bits of a flag family, all its flags together.
#define T462_FLAG_BITS(type, name, value) | name
inline constexpr uint32_t kListedClassStyles = 0 T462_CLASS_STYLES(T462_FLAG_BITS);
inline constexpr uint32_t kListedWindowStyles = 0 T462_WINDOW_STYLES(T462_FLAG_BITS);
inline constexpr uint32_t kListedExtendedStyles = 0 T462_EXTENDED_STYLES(T462_FLAG_BITS);
inline constexpr uint32_t kListedPositionFlags = 0 T462_POSITION_FLAGS(T462_FLAG_BITS);
inline constexpr uint32_t kListedLoadFlags = 0 T462_LOAD_FLAGS(T462_FLAG_BITS);
inline constexpr uint32_t kListedClearFlags = 0 T462_CLEAR_FLAGS(T462_FLAG_BITS);
inline constexpr uint32_t kListedVertexFormats = 0 T462_VERTEX_FORMATS(T462_FLAG_BITS);
#undef T462_FLAG_BITS

// Whether `value` is one of `family`.
template <typename Value, typename Listed, std::size_t n>
constexpr bool isListed(const Listed (&family)[n], Value value) {
    for (const Listed listed : family)
        if (static_cast<int64_t>(listed) == static_cast<int64_t>(value)) return true;
    return false;
}

// Whether `flags` holds no bit outside `family` (all of a family's flags).
constexpr bool onlyListedFlags(uint32_t family, uint32_t flags) { return (flags & ~family) == 0; }

// MessageBoxA's style: the one button and one of the listed icons.
constexpr bool isListedMessageBoxStyle(uint32_t style) {
    return style == (MB_OK | MB_ICONERROR) || style == (MB_OK | MB_ICONWARNING) || style == MB_OK;
}

}  // namespace platform

#endif
