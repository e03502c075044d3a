// Says so when the program hands this backend a value it was not made for
// (one outside platform/windows_values.h, or one the backend cannot do), so
// that a new flag in the portable code does not quietly act otherwise here
// than on Windows.
#pragma once

#include <cstdint>

namespace platform::x11 {

// Writes "t462: <call>: unsupported <what> 0x<value>" to standard error the
// first time a call meets that value; later meetings stay quiet. In the
// sanitized build (T462_SANITIZE) it then aborts, so the tests that run that
// build stop at it.
void reportUnsupported(const char* call, const char* what, uint64_t value);

// Reports `value` unless `supported`; returns `supported`.
inline bool supportedOrReported(bool supported, const char* call, const char* what,
                                uint64_t value) {
    if (!supported) reportUnsupported(call, what, value);
    return supported;
}

}  // namespace platform::x11
