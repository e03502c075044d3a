// What our D3DX subset reads of the file system (d3dx/files.h), on POSIX:
// names converted to UTF-8 (text_linux.h), whole files in one read, and a
// file's stamp from stat().
#include <fcntl.h>
#include <langinfo.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "platform/d3dx/files.h"
#include "platform/linux/text_linux.h"

namespace d3dx {
namespace {

// 100-nanosecond ticks, as file stamps count.
uint64_t ticksOf(const timespec& time) {
    return static_cast<uint64_t>(time.tv_sec) * 10'000'000 +
           static_cast<uint64_t>(time.tv_nsec) / 100;
}

bool readNamedFile(const std::string& name, size_t maxBytes, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (name.empty()) return false;
    const int file = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) return false;
    struct stat info {};
    bool ok = ::fstat(file, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 0 &&
              static_cast<uint64_t>(info.st_size) <= maxBytes;
    if (ok) {
        // One byte more than the size said, to see a file that grew meanwhile.
        bytes.resize(static_cast<size_t>(info.st_size) + 1);
        size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(file, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            got += static_cast<size_t>(n);
        }
        ok = ok && got <= static_cast<uint64_t>(info.st_size);
        bytes.resize(ok ? got : 0);
    }
    ::close(file);
    return ok;
}

// The name's UTF-8 reading in the locale's character set, unless that is
// UTF-8 itself (or cannot be told).
std::optional<std::string> systemReading(const char* name) {
    const char* charset = ::nl_langinfo(CODESET);
    if (charset == nullptr || std::strcmp(charset, "UTF-8") == 0 ||
        std::strcmp(charset, "ANSI_X3.4-1968") == 0)
        return std::nullopt;
    return platform::x11::utf8From(name, charset);
}

}  // namespace

bool readWholeFile(const char* name, NameEncoding encoding, size_t maxBytes,
                   std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (name == nullptr) return false;
    std::optional<std::string> reading;
    switch (encoding) {
        case NameEncoding::cp932:
            reading = platform::x11::utf8FromCp932(name);
            break;
        case NameEncoding::utf8:
            if (platform::x11::isUtf8(name) && platform::x11::utf8FromCp932(name) != name)
                reading = name;
            break;
        case NameEncoding::system:
            reading = systemReading(name);
            break;
    }
    return reading && readNamedFile(*reading, maxBytes, bytes);
}

std::optional<xfile::FileStamp> fileStamp(const char* name) {
    if (name == nullptr || name[0] == '\0') return std::nullopt;
    const std::optional<std::string> path = platform::x11::utf8FromCp932(name);
    struct stat info {};
    if (!path || ::stat(path->c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return xfile::FileStamp{static_cast<uint64_t>(info.st_size), ticksOf(info.st_mtim),
                            ticksOf(info.st_ctim)};
}

uint64_t fileClockNow() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return ticksOf(now);
}

}  // namespace d3dx
