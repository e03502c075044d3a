#include "render/status_text.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "controls/viewer_state.h"
#include "platform/text.h"
#include "platform/window_system.h"

namespace {

// A copy of a text field of N bytes that ends within the copy even when the
// field lacks a terminator.
template <size_t N>
struct TerminatedCopy {
    explicit TerminatedCopy(const char (&field)[N]) {
        std::memcpy(text, field, N);
        text[N] = '\0';
    }
    char text[N + 1];
};

#if defined(__GNUC__)
__attribute__((format(printf, 3, 4)))
#endif
void formatBounded(char* line, size_t size, const char* format, ...) {
    if (size == 0) return;
    va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(line, size, format, arguments);
    va_end(arguments);
    if (written < 0) {
        line[0] = '\0';
        return;
    }
    if (static_cast<size_t>(written) >= size) platform::trimSplitCp932Character(line);
}

}  // namespace

void formatKeyHelpLine(char* line, size_t size) { formatBounded(line, size, "%s", kKeyHelpText); }

void formatTintLine(char* line, size_t size, const ViewerState& state) {
    // Widened to 32-bit signed: the unsigned fields by zero extension, the
    // alpha by sign extension.
    formatBounded(line, size, kTintLineFormat, static_cast<int32_t>(state.tintRed),
                  static_cast<int32_t>(state.tintGreen), static_cast<int32_t>(state.tintBlue),
                  static_cast<int32_t>(state.tintAlpha),
                  static_cast<int32_t>(state.ambientRedPercent),
                  static_cast<int32_t>(state.ambientGreenPercent),
                  static_cast<int32_t>(state.ambientBluePercent));
}

bool formatNoticeLine(char* line, size_t size) {
    const char* notice = platform::statusNotice();
    if (notice == nullptr || notice[0] == '\0') return false;
    formatBounded(line, size, "%s", notice);
    return true;
}

bool formatSaveLine(char* line, size_t size, const ViewerState& state) {
    if (state.lastSnapshotFailed) {
        const TerminatedCopy name(state.failedSnapshotName);
        formatBounded(line, size, kSaveFailureFormat, name.text);
        return true;
    }
    if (state.snapshotCounter == 0) return false;
    const TerminatedCopy prefix(state.snapshotPrefix);
    // The number of the last snapshot written; wraps as the 32-bit counter does.
    const auto lastNumber = static_cast<int32_t>(static_cast<uint32_t>(state.snapshotCounter) - 1u);
    formatBounded(line, size, kSaveConfirmationFormat, prefix.text, lastNumber);
    return true;
}
