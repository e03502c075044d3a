// Files: created or emptied, written in order, closed. Names are code page
// 932, turned into UTF-8 for the file system (text_linux.h); a name that is
// not valid code page 932 names no file.
//
// What CreateFile refuses on Windows is refused here too, so that the program
// fails the same way on both: anything but a plain file (a folder, a pipe, a
// device), and a file marked read-only (no write permission for anyone),
// which root could otherwise still write. Sharing modes have no counterpart:
// POSIX files are always shared.
//
// A file to be emptied (CREATE_ALWAYS) is written over in place and cut to
// what was written when it is closed: on ext4, a file truncated to nothing and
// written again is flushed to the disk at its close (its guard against
// replace-by-truncate), which made each frame's rewrite of the feedback image
// 0.8 ms instead of 0.02.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/linux/text_linux.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace platform {
namespace {

// An open file as a handle: the descriptor plus one, so that no handle is
// null and none is kInvalidFile, and in the lowest bit whether the file is to
// be cut where the writing ended.
struct OpenFile {
    int descriptor = -1;
    bool cutAtClose = false;
};

FileHandle handleOf(OpenFile file) {
    const intptr_t value = (static_cast<intptr_t>(file.descriptor) + 1) << 1;
    return reinterpret_cast<FileHandle>(value | (file.cutAtClose ? 1 : 0));
}

OpenFile openFileOf(FileHandle file) {
    const intptr_t value = reinterpret_cast<intptr_t>(file);
    const intptr_t descriptor = (value >> 1) - 1;
    if (value <= 0 || descriptor < 0 || descriptor > INT32_MAX) return {};
    return {static_cast<int>(descriptor), (value & 1) != 0};
}

int accessFlags(uint32_t access) {
    const bool reads = (access & GENERIC_READ) != 0;
    const bool writes = (access & GENERIC_WRITE) != 0;
    if (reads && writes) return O_RDWR;
    return writes ? O_WRONLY : O_RDONLY;
}

// Creation flags of a disposition; emptying is left to the close, so that a
// file that is refused keeps its contents.
std::optional<int> creationFlags(uint32_t disposition) {
    switch (disposition) {
        case CREATE_NEW:
            return O_CREAT | O_EXCL;
        case CREATE_ALWAYS:
        case OPEN_ALWAYS:
            return O_CREAT;
        case OPEN_EXISTING:
        case TRUNCATE_EXISTING:
            return 0;
        default:
            return std::nullopt;
    }
}

bool empties(uint32_t disposition) {
    return disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
}

bool isReadOnly(const struct stat& info) {
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool makeBlocking(int descriptor) {
    const int flags = ::fcntl(descriptor, F_GETFL);
    return flags >= 0 && ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

// Opens without blocking (a pipe with no reader would wait for one forever)
// and without emptying, and checks what was opened.
OpenFile openFile(const std::string& path, uint32_t access, uint32_t disposition) {
    const std::optional<int> creation = creationFlags(disposition);
    if (!creation) return {};
    const bool writes = (access & GENERIC_WRITE) != 0;
    if (empties(disposition) && !writes) return {};  // as Windows: emptying needs write access

    const int descriptor = ::open(
        path.c_str(), accessFlags(access) | *creation | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (descriptor < 0) return {};
    struct stat info {};
    const bool usable = ::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) &&
                        !(writes && isReadOnly(info)) && makeBlocking(descriptor);
    if (!usable) {
        ::close(descriptor);
        return {};
    }
    return {descriptor, empties(disposition)};
}

// Cuts off what is left of the file's earlier contents past the writing.
bool cutAtWritingEnd(int descriptor) {
    const off_t end = ::lseek(descriptor, 0, SEEK_CUR);
    struct stat info {};
    if (end < 0 || ::fstat(descriptor, &info) != 0) return false;
    return info.st_size <= end || ::ftruncate(descriptor, end) == 0;
}

}  // namespace

FileHandle CreateFileA(const char* name, uint32_t access, uint32_t /*shareMode*/,
                       uint32_t disposition, uint32_t /*attributes*/) {
    if (name == nullptr) return kInvalidFile;
    const std::optional<std::string> path = x11::utf8FromCp932(name);
    if (!path || path->empty()) return kInvalidFile;
    const OpenFile file = openFile(*path, access, disposition);
    return file.descriptor < 0 ? kInvalidFile : handleOf(file);
}

// Writes all of `data`, as WriteFile does on a plain file: a short write is
// continued, an interrupted one tried again.
bool WriteFile(FileHandle file, const void* data, uint32_t size, uint32_t* written) {
    if (written != nullptr) *written = 0;
    const int descriptor = openFileOf(file).descriptor;
    if (descriptor < 0 || (data == nullptr && size > 0)) return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    uint32_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(descriptor, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<uint32_t>(n);
    }
    if (written != nullptr) *written = done;
    return done == size;
}

// An interrupted close has still closed the descriptor (Linux): only a real
// error, such as a write the file system could not finish, is a failure.
bool CloseHandle(FileHandle file) {
    const OpenFile open = openFileOf(file);
    if (open.descriptor < 0) return false;
    const bool cut = !open.cutAtClose || cutAtWritingEnd(open.descriptor);
    const bool closed = ::close(open.descriptor) == 0 || errno == EINTR;
    return cut && closed;
}

}  // namespace platform
