#include "platform/linux/message_queue_linux.h"

#include <time.h>

#include <algorithm>
#include <climits>
#include <deque>
#include <optional>

#include "platform/linux/backend_messages_linux.h"
#include "platform/linux/key_state_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/linux/x11_events_linux.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace platform {
namespace x11 {
namespace {

struct Queued {
    Message message;
    bool isKey = false;
    KeyDetail key;
};

std::deque<Queued> queue;
bool quitPosted = false;
int32_t quitCode = 0;

// The text of the last key press taken from the queue, until TranslateMessage
// turns it into characters.
struct PendingText {
    bool pending = false;
    WindowHandle window = nullptr;
    uintptr_t key = 0;
    std::u32string text;
};
PendingText lastKeyText;

uint32_t messageTime() { return static_cast<uint32_t>(monotonicMicroseconds() / 1000); }

bool matches(const Message& message, WindowHandle window, uint32_t first, uint32_t last) {
    if (window != nullptr && message.window != window) return false;
    if (first == 0 && last == 0) return true;
    return message.message >= first && message.message <= last;
}

// The thread's key state follows the input messages as they are taken.
void noteTaken(const Queued& entry) {
    if (entry.isKey) {
        applyKeyMessage(entry.key.sidedKey, entry.key.down);
        if (entry.key.down) {
            lastKeyText = {true, entry.message.window, entry.message.wParam, entry.key.text};
        }
    } else if (entry.message.message == WM_LBUTTONDOWN ||
               entry.message.message == WM_LBUTTONDBLCLK) {
        applyKeyMessage(VK_LBUTTON, true);
    } else if (entry.message.message == WM_LBUTTONUP) {
        applyKeyMessage(VK_LBUTTON, false);
    }
}

std::optional<Message> waitingPaint(WindowHandle filter, uint32_t first, uint32_t last) {
    for (WindowHandle handle : allWindows()) {
        const WindowObject* window = findWindow(handle);
        if (window == nullptr || !window->needsPaint || window->destroying) continue;
        Message paint;
        paint.window = handle;
        paint.message = WM_PAINT;
        paint.time = messageTime();
        if (matches(paint, filter, first, last)) return paint;
    }
    return std::nullopt;
}

bool anyWaiting() {
    return !queue.empty() || quitPosted || waitingPaint(nullptr, 0, 0).has_value();
}

}  // namespace

void postMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    Queued entry;
    entry.message = {window, message, wParam, lParam, messageTime(), {}};
    queue.push_back(std::move(entry));
}

void postKeyMessage(const Message& message, KeyDetail detail) {
    Queued entry;
    entry.message = message;
    entry.message.time = messageTime();
    entry.isKey = true;
    entry.key = std::move(detail);
    queue.push_back(std::move(entry));
}

void postCharacters(WindowHandle window, std::u32string_view text) {
    for (char32_t character : text) postMessage(window, WM_CHAR, character, 1);
}

intptr_t sendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const WindowObject* target = findWindow(window);
    if (target == nullptr || target->procedure == nullptr) return 0;
    const WindowProc procedure = target->procedure;
    return procedure(window, message, wParam, lParam);
}

void paintWaitingWindows() {
    for (WindowHandle handle : allWindows()) {
        const WindowObject* window = findWindow(handle);
        if (window != nullptr && window->needsPaint && !window->destroying)
            sendMessage(handle, WM_PAINT, 0, 0);
    }
}

}  // namespace x11

bool PeekMessageA(Message* message, WindowHandle window, uint32_t filterMin, uint32_t filterMax,
                  uint32_t removeFlags) {
    if (message == nullptr) return false;
    x11::forgetPhysicalKeys();
    x11::drainEvents();
    for (auto at = x11::queue.begin(); at != x11::queue.end(); ++at) {
        if (!x11::matches(at->message, window, filterMin, filterMax)) continue;
        *message = at->message;
        if ((removeFlags & PM_REMOVE) != 0) {
            const x11::Queued entry = std::move(*at);
            x11::queue.erase(at);
            x11::noteTaken(entry);
        }
        return true;
    }
    if (x11::quitPosted && window == nullptr &&
        x11::matches({nullptr, WM_QUIT, 0, 0, 0, {}}, nullptr, filterMin, filterMax)) {
        *message = {nullptr, WM_QUIT, static_cast<uintptr_t>(x11::quitCode), 0, x11::messageTime(),
                    {}};
        if ((removeFlags & PM_REMOVE) != 0) x11::quitPosted = false;
        return true;
    }
    // A paint message stays until the window is painted (BeginPaint).
    if (auto paint = x11::waitingPaint(window, filterMin, filterMax)) {
        *message = *paint;
        return true;
    }
    return false;
}

// Characters go to the front of the queue: they are read before any key
// pressed after them.
bool TranslateMessage(const Message* message) {
    x11::PendingText& pending = x11::lastKeyText;
    if (message == nullptr || message->message != WM_KEYDOWN || !pending.pending ||
        pending.window != message->window || pending.key != message->wParam)
        return false;
    pending.pending = false;
    for (auto at = pending.text.rbegin(); at != pending.text.rend(); ++at) {
        x11::Queued entry;
        entry.message = {message->window, WM_CHAR, *at, 1, message->time, {}};
        x11::queue.push_front(std::move(entry));
    }
    return !pending.text.empty();
}

intptr_t DispatchMessageA(const Message* message) {
    if (message == nullptr) return 0;
    return x11::sendMessage(message->window, message->message, message->wParam, message->lParam);
}

void PostQuitMessage(int32_t exitCode) {
    x11::quitPosted = true;
    x11::quitCode = exitCode;
}

uint32_t MsgWaitForMultipleObjects(uint32_t milliseconds, uint32_t) {
    x11::drainEvents();
    if (x11::anyWaiting()) return 0;
    const int timeout =
        milliseconds == INFINITE ? -1 : static_cast<int>(std::min<uint32_t>(milliseconds, INT_MAX));
    return x11::waitForConnection(timeout) ? 0 : WAIT_TIMEOUT;
}

uint64_t monotonicMicroseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000 + static_cast<uint64_t>(now.tv_nsec) / 1000;
}

intptr_t SendMessageA(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return x11::sendMessage(window, message, wParam, lParam);
}

}  // namespace platform
