#include "platform/win32/window_procedures_win32.h"

#include <array>
#include <cstddef>
#include <utility>

#include "platform/win32/display_win32.h"
#include "platform/win32/records_win32.h"

namespace platform::win32 {
namespace {

// More than the program registers; a class stays registered, and keeps its
// slot, until the process ends.
constexpr std::size_t kSlotCount = 16;

std::array<WindowProc, kSlotCount> boundProcedures{};

template <std::size_t Slot>
LRESULT CALLBACK slotProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DISPLAYCHANGE) displayChanged();
    const WindowProc procedure = boundProcedures[Slot];
    if (procedure == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    return procedure(portable(window), message, wParam, lParam);
}

template <std::size_t... Slots>
constexpr std::array<WNDPROC, sizeof...(Slots)> makeSlotProcedures(std::index_sequence<Slots...>) {
    return {&slotProcedure<Slots>...};
}

constexpr std::array<WNDPROC, kSlotCount> kSlotProcedures =
    makeSlotProcedures(std::make_index_sequence<kSlotCount>{});

}  // namespace

WNDPROC bindWindowProcedure(WindowProc procedure) {
    for (std::size_t slot = 0; slot < kSlotCount; ++slot) {
        if (boundProcedures[slot] == nullptr) {
            boundProcedures[slot] = procedure;
            return kSlotProcedures[slot];
        }
    }
    return nullptr;
}

void unbindWindowProcedure(WNDPROC slotProcedure) {
    for (std::size_t slot = 0; slot < kSlotCount; ++slot) {
        if (kSlotProcedures[slot] == slotProcedure) boundProcedures[slot] = nullptr;
    }
}

}  // namespace platform::win32
