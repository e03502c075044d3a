#include "platform/linux/sway_ipc_linux.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace platform::x11 {
namespace {

// The i3 IPC protocol that sway speaks: a magic word, the payload's length
// and the message type in native byte order, then the payload.
constexpr char kMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr size_t kHeaderSize = sizeof kMagic + 2 * sizeof(uint32_t);
constexpr uint32_t kRunCommand = 0;
constexpr int kReplyMilliseconds = 1000;

class Socket {
public:
    Socket() = default;
    explicit Socket(int descriptor) : descriptor_(descriptor) {}
    Socket(Socket&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    Socket& operator=(Socket&& other) noexcept {
        std::swap(descriptor_, other.descriptor_);
        return *this;
    }
    ~Socket() {
        if (descriptor_ >= 0) ::close(descriptor_);
    }
    int get() const { return descriptor_; }

private:
    int descriptor_ = -1;
};

Socket connectToSway() {
    const char* path = std::getenv("SWAYSOCK");
    sockaddr_un address{};
    if (path == nullptr || *path == '\0' || std::strlen(path) >= sizeof address.sun_path) return {};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path);
    Socket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (socket.get() < 0 ||
        ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return {};
    return socket;
}

// The one connection, made on first use; none outside a sway session.
Socket& connection() {
    static Socket socket = connectToSway();
    return socket;
}

bool writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::send(descriptor, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Reads exactly `size` bytes, waiting for sway no longer than a second.
bool readAll(int descriptor, char* data, size_t size) {
    while (size > 0) {
        pollfd watched{descriptor, POLLIN, 0};
        const int ready = ::poll(&watched, 1, kReplyMilliseconds);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        const ssize_t got = ::recv(descriptor, data, size, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        data += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

// Runs one sway command; its reply, a JSON list of results, or nothing.
std::string runCommand(const std::string& command) {
    Socket& socket = connection();
    if (socket.get() < 0) return {};
    std::string message(kMagic, sizeof kMagic);
    const uint32_t header[] = {static_cast<uint32_t>(command.size()), kRunCommand};
    message.append(reinterpret_cast<const char*>(header), sizeof header);
    message += command;
    char replyHeader[kHeaderSize];
    if (!writeAll(socket.get(), message) ||
        !readAll(socket.get(), replyHeader, sizeof replyHeader)) {
        socket = Socket();  // out of step with sway: ask no more
        return {};
    }
    uint32_t length = 0;
    std::memcpy(&length, replyHeader + sizeof kMagic, sizeof length);
    std::string reply(length, '\0');
    if (!readAll(socket.get(), reply.data(), reply.size())) {
        socket = Socket();
        return {};
    }
    return reply;
}

}  // namespace

bool underSway() { return connection().get() >= 0; }

bool swayMoveWindow(::Window xwindow, int x, int y) {
    char command[96];
    std::snprintf(command, sizeof command, "[id=%lu] move absolute position %d %d",
                  static_cast<unsigned long>(xwindow), x, y);
    const std::string reply = runCommand(command);
    return reply.find("\"success\": true") != std::string::npos ||
           reply.find("\"success\":true") != std::string::npos;
}

}  // namespace platform::x11
