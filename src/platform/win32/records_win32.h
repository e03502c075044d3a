// Conversions between our portable handles and records and the native ones.
// Handles are the native handles themselves, cast to our opaque types.
#pragma once

#include "platform/types.h"
#include "platform/win32/native_win32.h"

namespace platform::win32 {

inline HWND native(WindowHandle window) { return reinterpret_cast<HWND>(window); }
inline HDC native(DeviceContext dc) { return reinterpret_cast<HDC>(dc); }
inline HINSTANCE native(InstanceHandle instance) { return reinterpret_cast<HINSTANCE>(instance); }
inline HGDIOBJ native(GdiObject object) { return reinterpret_cast<HGDIOBJ>(object); }
inline HANDLE native(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

inline WindowHandle portable(HWND window) { return reinterpret_cast<WindowHandle>(window); }
inline DeviceContext portable(HDC dc) { return reinterpret_cast<DeviceContext>(dc); }
inline InstanceHandle portable(HINSTANCE instance) {
    return reinterpret_cast<InstanceHandle>(instance);
}
// Every kind of GDI object (font, brush, bitmap, region) crosses as GdiObject.
template <class NativeObject>
GdiObject portableObject(NativeObject object) {
    return reinterpret_cast<GdiObject>(object);
}
template <class NativeObject>
NativeObject nativeObject(GdiObject object) {
    return reinterpret_cast<NativeObject>(object);
}

inline RECT native(const Rect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }
inline Rect portable(const RECT& rect) {
    return Rect{static_cast<int32_t>(rect.left), static_cast<int32_t>(rect.top),
                static_cast<int32_t>(rect.right), static_cast<int32_t>(rect.bottom)};
}

inline POINT native(const Point& point) { return POINT{point.x, point.y}; }
inline Point portable(const POINT& point) {
    return Point{static_cast<int32_t>(point.x), static_cast<int32_t>(point.y)};
}

inline MSG native(const Message& message) {
    MSG result{};
    result.hwnd = native(message.window);
    result.message = message.message;
    result.wParam = message.wParam;
    result.lParam = message.lParam;
    result.time = message.time;
    result.pt = native(message.point);
    return result;
}

inline Message portable(const MSG& message) {
    Message result;
    result.window = portable(message.hwnd);
    result.message = message.message;
    result.wParam = message.wParam;
    result.lParam = message.lParam;
    result.time = message.time;
    result.point = portable(message.pt);
    return result;
}

}  // namespace platform::win32
