// The grab through the ScreenCast portal (xdg-desktop-portal), as screen
// recorders do on GNOME and KDE: one monitor stream from PipeWire, cropped to
// the grabbed rectangle.
//
// The portal's handshake (create a session, select a monitor, start, open
// the PipeWire remote) runs on a thread of its own, since the desktop may
// show its share dialog and wait for the user; grabs stay black meanwhile.
// The restore token the portal gives (persist mode 2) is kept in
// $XDG_STATE_HOME/t462/ (~/.local/state/t462/), so the user answers the
// dialog once and not on every start.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "platform/linux/pipewire_stream_linux.h"
#include "platform/types.h"
#include "platform/window_system.h"

struct sd_bus;

namespace platform::compositor {

class ScreenCastPortal {
public:
    enum class Status {
        pending,      // the handshake goes on
        streaming,    // frames come
        unavailable,  // no session bus, or no ScreenCast portal on it
        refused,      // the user declined to share the screen
        failed,       // the portal or PipeWire gave no stream, or it ended
    };

    // Starts the handshake.
    ScreenCastPortal();
    ~ScreenCastPortal();
    ScreenCastPortal(const ScreenCastPortal&) = delete;
    ScreenCastPortal& operator=(const ScreenCastPortal&) = delete;

    Status status() const;

    // The newest frame's part `area` into `pixels`; 0 until frames come or
    // where the area is not on the shared monitor.
    uint32_t grab(const Rect& area, const GrabLayout& layout, uint8_t* pixels);

private:
    void run();
    Status handshake();

    std::atomic<bool> stopping_{false};
    std::atomic<Status> status_{Status::pending};
    sd_bus* bus_ = nullptr;  // kept open: the session lives as long as it
    std::string session_;
    // Set by the handshake before the status becomes `streaming`.
    std::unique_ptr<PipeWireStream> stream_;
    Rect monitor_{};
    std::thread worker_;
};

}  // namespace platform::compositor
