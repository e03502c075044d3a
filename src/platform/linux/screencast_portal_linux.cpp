#include "platform/linux/screencast_portal_linux.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <string_view>

namespace platform::compositor {
namespace {

constexpr const char* kPortal = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kScreenCast = "org.freedesktop.portal.ScreenCast";
constexpr uint32_t kMonitorSource = 1;
constexpr uint32_t kCursorHidden = 1;  // the grab never shows the pointer, as on Windows
constexpr uint32_t kPersistUntilRevoked = 2;
constexpr uint32_t kFirstPersistingVersion = 4;
constexpr uint32_t kResponseCancelled = 1;
constexpr uint64_t kWaitMicroseconds = 200000;  // how often the handshake looks at stopping_
constexpr const char* kTokenFile = "screencast-restore-token";

// --- the restore token --------------------------------------------------------

// $XDG_STATE_HOME/t462, else ~/.local/state/t462; empty without a home.
std::string stateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') return std::string(state) + "/t462";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') return {};
    return std::string(home) + "/.local/state/t462";
}

std::string readToken() {
    const std::string folder = stateFolder();
    if (folder.empty()) return {};
    std::ifstream file(folder + "/" + kTokenFile);
    std::string token;
    std::getline(file, token);
    return token;
}

// Makes the folder and those above it that are missing, for the user only.
bool makeFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

// Written whole or not at all, and for the user's eyes only (it lets the
// program see the screen without asking): a new file renamed over the old.
void saveToken(const std::string& token) {
    const std::string folder = stateFolder();
    const std::string name = folder + "/" + kTokenFile;
    const std::string fresh = name + ".new";
    const std::string line = token + "\n";
    bool saved = false;
    if (!folder.empty() && makeFolders(folder)) {
        const int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd >= 0) {
            saved = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
            saved = ::close(fd) == 0 && saved && std::rename(fresh.c_str(), name.c_str()) == 0;
        }
    }
    if (!saved)
        std::fprintf(stderr, "t462: cannot keep the screen share's restore token in '%s'\n",
                     folder.c_str());
}

// --- D-Bus ---------------------------------------------------------------------

struct BusError {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    ~BusError() { sd_bus_error_free(&error); }
    const char* text() const { return error.message != nullptr ? error.message : "?"; }
};

struct MessageDeleter {
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using Message = std::unique_ptr<sd_bus_message, MessageDeleter>;

struct SlotDeleter {
    void operator()(sd_bus_slot* slot) const { sd_bus_slot_unref(slot); }
};
using Slot = std::unique_ptr<sd_bus_slot, SlotDeleter>;

// A Request object's Response: its code and its results (read from the
// a{sv} on).
struct Response {
    int64_t code = -1;
    Message results;
};

int onResponse(sd_bus_message* message, void* data, sd_bus_error*) {
    auto* response = static_cast<Response*>(data);
    uint32_t code = 2;
    if (sd_bus_message_read(message, "u", &code) < 0) code = 2;
    response->results.reset(sd_bus_message_ref(message));
    response->code = code;
    return 0;
}

// Calls `take(key, message)` for each entry of the a{sv} at the read
// position; `take` reads the variant, or returns false and it is skipped.
void readResults(sd_bus_message* message,
                 const std::function<bool(std::string_view, sd_bus_message*)>& take) {
    if (sd_bus_message_enter_container(message, 'a', "{sv}") <= 0) return;
    while (sd_bus_message_enter_container(message, 'e', "sv") > 0) {
        const char* key = nullptr;
        if (sd_bus_message_read(message, "s", &key) < 0) return;
        if (!take(key, message) && sd_bus_message_skip(message, "v") < 0) return;
        if (sd_bus_message_exit_container(message) < 0) return;
    }
    sd_bus_message_exit_container(message);
}

std::string readString(sd_bus_message* message) {
    const char* text = nullptr;
    if (sd_bus_message_read(message, "v", "s", &text) < 0 || text == nullptr) return {};
    return text;
}

// The first stream of Start's results: its PipeWire node and where its
// monitor lies in the layout.
struct Stream {
    bool found = false;
    uint32_t node = 0;
    Rect place{};
};

bool readStreams(sd_bus_message* message, Stream& stream) {
    if (sd_bus_message_enter_container(message, 'v', "a(ua{sv})") <= 0) return true;
    if (sd_bus_message_enter_container(message, 'a', "(ua{sv})") <= 0) return true;
    while (sd_bus_message_enter_container(message, 'r', "ua{sv}") > 0) {
        uint32_t node = 0;
        int32_t x = 0, y = 0, width = 0, height = 0;
        sd_bus_message_read(message, "u", &node);
        readResults(message, [&](std::string_view key, sd_bus_message* entry) {
            if (key == "position") return sd_bus_message_read(entry, "v", "(ii)", &x, &y) >= 0;
            if (key == "size") return sd_bus_message_read(entry, "v", "(ii)", &width, &height) >= 0;
            return false;
        });
        sd_bus_message_exit_container(message);
        if (!stream.found) stream = {true, node, {x, y, x + width, y + height}};
    }
    sd_bus_message_exit_container(message);
    sd_bus_message_exit_container(message);
    return true;
}

using Options = std::function<int(sd_bus_message*)>;

int noOptions(sd_bus_message*) { return 0; }

// What the portal offers: its version and bit sets of source types and
// cursor modes.
struct Offer {
    uint32_t version = 0;
    uint32_t sources = 0;
    uint32_t cursors = 0;
};

std::optional<Offer> offerOf(sd_bus* bus) {
    Offer offer;
    BusError error;
    const auto property = [&](const char* name, uint32_t& value, sd_bus_error* failure) {
        return sd_bus_get_property_trivial(bus, kPortal, kPortalPath, kScreenCast, name, failure,
                                           'u', &value) >= 0;
    };
    if (!property("version", offer.version, &error.error) ||
        !property("AvailableSourceTypes", offer.sources, &error.error)) {
        std::fprintf(stderr, "t462: no ScreenCast portal (%s)\n", error.text());
        return std::nullopt;
    }
    if ((offer.sources & kMonitorSource) == 0) {
        std::fprintf(stderr, "t462: the ScreenCast portal shares no monitor\n");
        return std::nullopt;
    }
    if (!property("AvailableCursorModes", offer.cursors, nullptr)) offer.cursors = 0;
    return offer;
}

// One monitor, without the pointer (the grab never shows it, as on Windows);
// kept until the user revokes it, by the token of the last share where
// there is one.
Options sourceChoice(const Offer& offer) {
    return [offer](sd_bus_message* call) {
        int result = sd_bus_message_append(call, "{sv}", "types", "u", kMonitorSource);
        if (result >= 0) result = sd_bus_message_append(call, "{sv}", "multiple", "b", 0);
        if (result >= 0 && (offer.cursors & kCursorHidden) != 0)
            result = sd_bus_message_append(call, "{sv}", "cursor_mode", "u", kCursorHidden);
        if (result < 0 || offer.version < kFirstPersistingVersion) return result;
        result = sd_bus_message_append(call, "{sv}", "persist_mode", "u", kPersistUntilRevoked);
        const std::string restore = readToken();
        if (result >= 0 && !restore.empty())
            result = sd_bus_message_append(call, "{sv}", "restore_token", "s", restore.c_str());
        return result;
    };
}

// The portal's calls whose answer comes later, as the Response signal of a
// Request object.
class Requests {
public:
    Requests(sd_bus* bus, const std::atomic<bool>& stopping) : bus_(bus), stopping_(stopping) {
        // The Request objects' paths hold our name without ':', dots as '_'.
        const char* unique = nullptr;
        if (sd_bus_get_unique_name(bus, &unique) >= 0 && unique != nullptr && unique[0] == ':')
            sender_ = unique + 1;
        for (char& c : sender_)
            if (c == '.') c = '_';
    }

    // Calls `method` with `arguments` and the options (a handle token, then
    // `options`), and waits for the answer: the user may be looking at a
    // dialog. True for an answer of 0.
    bool call(const char* method, const Options& arguments, const Options& options,
              Response& response) {
        if (sender_.empty()) return false;
        const std::string token = "t462_" + std::to_string(++made_);
        const std::string path = "/org/freedesktop/portal/desktop/request/" + sender_ + "/" + token;
        sd_bus_slot* match = nullptr;
        if (sd_bus_match_signal(bus_, &match, kPortal, path.c_str(),
                                "org.freedesktop.portal.Request", "Response", onResponse,
                                &response) < 0)
            return false;
        const Slot slot(match);
        if (!send(method, arguments, token, options) || !await(response)) return false;
        if (response.code != 0)
            std::fprintf(stderr, "t462: the ScreenCast portal answered %s with %d\n", method,
                         static_cast<int>(response.code));
        return response.code == 0;
    }

private:
    bool send(const char* method, const Options& arguments, const std::string& token,
              const Options& options) {
        sd_bus_message* made = nullptr;
        if (sd_bus_message_new_method_call(bus_, &made, kPortal, kPortalPath, kScreenCast, method) <
            0)
            return false;
        const Message call(made);
        if (arguments(call.get()) < 0 ||
            sd_bus_message_open_container(call.get(), 'a', "{sv}") < 0 ||
            sd_bus_message_append(call.get(), "{sv}", "handle_token", "s", token.c_str()) < 0 ||
            options(call.get()) < 0 || sd_bus_message_close_container(call.get()) < 0)
            return false;
        BusError error;
        sd_bus_message* reply = nullptr;
        if (sd_bus_call(bus_, call.get(), 0, &error.error, &reply) < 0) {
            std::fprintf(stderr, "t462: the ScreenCast portal's %s failed (%s)\n", method,
                         error.text());
            return false;
        }
        sd_bus_message_unref(reply);
        return true;
    }

    bool await(const Response& response) {
        while (response.code < 0) {
            if (stopping_) return false;
            const int handled = sd_bus_process(bus_, nullptr);
            if (handled < 0) return false;
            if (handled > 0) continue;
            const int waited = sd_bus_wait(bus_, kWaitMicroseconds);
            if (waited < 0 && waited != -EINTR) return false;
        }
        return true;
    }

    sd_bus* bus_;
    const std::atomic<bool>& stopping_;
    std::string sender_;
    int made_ = 0;
};

// The answer's failure: the user's refusal, or anything else.
ScreenCastPortal::Status failureOf(const Response& response) {
    return response.code == kResponseCancelled ? ScreenCastPortal::Status::refused
                                               : ScreenCastPortal::Status::failed;
}

// The PipeWire remote of the session, as a descriptor of our own.
int pipeWireRemote(sd_bus* bus, const std::string& session) {
    BusError error;
    sd_bus_message* reply = nullptr;
    if (sd_bus_call_method(bus, kPortal, kPortalPath, kScreenCast, "OpenPipeWireRemote",
                           &error.error, &reply, "oa{sv}", session.c_str(), 0) < 0) {
        std::fprintf(stderr, "t462: no PipeWire remote from the ScreenCast portal (%s)\n",
                     error.text());
        return -1;
    }
    const Message remote(reply);
    int fd = -1;
    if (sd_bus_message_read(remote.get(), "h", &fd) < 0 || fd < 0) return -1;
    return ::fcntl(fd, F_DUPFD_CLOEXEC, 3);  // the message's own goes with it
}

}  // namespace

ScreenCastPortal::ScreenCastPortal() {
    worker_ = std::thread([this] { run(); });
}

ScreenCastPortal::~ScreenCastPortal() {
    stopping_ = true;
    if (worker_.joinable()) worker_.join();
    stream_.reset();
    if (bus_ != nullptr) {
        if (!session_.empty()) {
            sd_bus_call_method(bus_, kPortal, session_.c_str(), "org.freedesktop.portal.Session",
                               "Close", nullptr, nullptr, "");
        }
        sd_bus_flush_close_unref(bus_);
    }
}

ScreenCastPortal::Status ScreenCastPortal::status() const {
    const Status status = status_.load(std::memory_order_acquire);
    if (status == Status::streaming && stream_->ended()) return Status::failed;
    return status;
}

uint32_t ScreenCastPortal::grab(const Rect& area, const GrabLayout& layout, uint8_t* pixels) {
    if (status_.load(std::memory_order_acquire) != Status::streaming) return 0;
    return stream_->grab(area, monitor_, layout, pixels);
}

void ScreenCastPortal::run() { status_.store(handshake(), std::memory_order_release); }

ScreenCastPortal::Status ScreenCastPortal::handshake() {
    if (const int error = sd_bus_open_user(&bus_); error < 0) {
        bus_ = nullptr;
        std::fprintf(stderr, "t462: no session bus for the ScreenCast portal (%s)\n",
                     std::strerror(-error));
        return Status::unavailable;
    }
    const std::optional<Offer> offer = offerOf(bus_);
    if (!offer) return Status::unavailable;
    Requests requests(bus_, stopping_);

    Response created;
    const auto sessionName = [](sd_bus_message* call) {
        return sd_bus_message_append(call, "{sv}", "session_handle_token", "s", "t462");
    };
    if (!requests.call("CreateSession", noOptions, sessionName, created)) return Status::failed;
    readResults(created.results.get(), [&](std::string_view key, sd_bus_message* entry) {
        if (key != "session_handle") return false;
        session_ = readString(entry);
        return true;
    });
    if (session_.empty()) return Status::failed;
    const auto inSession = [&](sd_bus_message* call) {
        return sd_bus_message_append(call, "o", session_.c_str());
    };

    Response selected;
    if (!requests.call("SelectSources", inSession, sourceChoice(*offer), selected))
        return failureOf(selected);

    Response started;
    const auto startArguments = [&](sd_bus_message* call) {
        return sd_bus_message_append(call, "os", session_.c_str(), "");  // no parent window
    };
    if (!requests.call("Start", startArguments, noOptions, started)) return failureOf(started);
    Stream stream;
    std::string restore;
    readResults(started.results.get(), [&](std::string_view key, sd_bus_message* entry) {
        if (key == "streams") return readStreams(entry, stream);
        if (key != "restore_token") return false;
        restore = readString(entry);
        return true;
    });
    if (!restore.empty()) saveToken(restore);
    if (!stream.found) {
        std::fprintf(stderr, "t462: the ScreenCast portal started no stream\n");
        return Status::failed;
    }

    const int remote = pipeWireRemote(bus_, session_);
    if (remote < 0) return Status::failed;
    monitor_ = stream.place;
    stream_ = PipeWireStream::open(remote, stream.node);
    return stream_ != nullptr ? Status::streaming : Status::failed;
}

}  // namespace platform::compositor
