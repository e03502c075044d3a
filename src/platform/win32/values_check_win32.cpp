// Holds the shared list of Windows values (platform/windows_values.h) to the
// system's own headers: each listed value must equal the macro or enumerator
// of the same name, so the list cannot drift from what Windows defines.
#define T462_WINDOWS_VALUES_LIST_ONLY
#include "platform/win32/native_win32.h"
#include "platform/windows_values.h"

// Windows 8 added touch and pointer input to QS_ALLINPUT; the program waits
// for all the input of the versions before, as it always has.
#undef QS_ALLINPUT
#define QS_ALLINPUT                                                                       \
    (QS_KEY | QS_MOUSE | QS_RAWINPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_HOTKEY | \
     QS_SENDMESSAGE)

#define T462_CHECK_VALUE(type, name, value) \
    static_assert(static_cast<type>(value) == static_cast<type>(name), #name);
T462_WINDOWS_VALUES(T462_CHECK_VALUE)

// The handles Windows writes as casts of numbers (HWND_TOPMOST, and the
// MAKEINTRESOURCE ids): a cast to a pointer is no constant, so here they are
// read as the numbers they carry.
#undef MAKEINTRESOURCEA
#define MAKEINTRESOURCEA(id) (id)
#define HWND intptr_t
T462_POINTER_VALUES(T462_CHECK_VALUE)
#undef HWND
#undef T462_CHECK_VALUE
