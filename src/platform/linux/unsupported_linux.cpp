#include "platform/linux/unsupported_linux.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>
#include <tuple>

namespace platform::x11 {

void reportUnsupported(const char* call, const char* what, uint64_t value) {
    static std::mutex guard;
    static std::set<std::tuple<std::string, std::string, uint64_t>> reported;
    {
        const std::lock_guard<std::mutex> lock(guard);
        if (!reported.emplace(call, what, value).second) return;
    }
    std::fprintf(stderr, "t462: %s: unsupported %s 0x%" PRIx64 "\n", call, what, value);
#ifdef T462_ABORT_ON_UNSUPPORTED
    std::abort();
#endif
}

}  // namespace platform::x11
