#include "platform/linux/compositor_grab_linux.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/linux/screencast_portal_linux.h"
#include "platform/linux/text_linux.h"
#include "platform/linux/wlr_screencopy_linux.h"
#include "platform/windows_values.h"

namespace platform {
namespace {

using compositor::ScreenCastPortal;
using compositor::Screencopy;

// Set by the end-to-end tests only: the portal even where wlr-screencopy is
// there, as a wlroots compositor is the only one they can run.
constexpr const char* kTestPortalVariable = "T462_TEST_SCREENCAST_PORTAL";

constexpr const char* kCaption = "画面の取り込み";

// What the user is told when the screen cannot be grabbed: one status line
// and a message box.
struct Lack {
    const char* status;
    const char* box;
};

const Lack kNoCapture = {
    "画面を取り込めません: wlr-screencopy も ScreenCast ポータルもありません",
    "この Wayland セッションでは画面を取り込めません。\n\n"
    "X の画面 (XWayland) は絵を持たず、コンポジターには\n"
    "wlr-screencopy も ScreenCast ポータル (xdg-desktop-portal) もありません。\n\n"
    "フィードバック画像は黒のまま、プログラムは動き続けます。"};
const Lack kShareRefused = {"画面を取り込めません: 画面の共有が拒否されました",
                            "画面の共有が拒否されたため、画面を取り込めません。\n\n"
                            "次に起動したとき、もう一度尋ねます。\n\n"
                            "フィードバック画像は黒のまま、プログラムは動き続けます。"};
const Lack kNoFrames = {
    "画面を取り込めません: ScreenCast ポータルから画面が届きません",
    "画面を取り込めません。\n\n"
    "ScreenCast ポータル (xdg-desktop-portal と PipeWire) から画面が届きません。\n\n"
    "フィードバック画像は黒のまま、プログラムは動き続けます。"};

// The status line's notice, code page 932; empty while there is none.
std::string& notice() {
    static std::string text;
    return text;
}

class CompositorGrab {
public:
    uint32_t grab(const Rect& area, const GrabLayout& layout, uint8_t* pixels) {
        if (route_ == Route::undecided) choose();
        switch (route_) {
            case Route::screencopy:
                return screencopy_->grab(area, layout, pixels);
            case Route::portal:
                return fromPortal(area, layout, pixels);
            default:
                return 0;
        }
    }

private:
    enum class Route { undecided, screencopy, portal, none };

    void choose() {
        const char* forced = std::getenv(kTestPortalVariable);
        if (forced == nullptr || forced[0] == '\0') screencopy_ = Screencopy::connect();
        if (screencopy_ != nullptr) {
            route_ = Route::screencopy;
            std::fprintf(stderr, "t462: the grab comes from the compositor (wlr-screencopy)\n");
        } else {
            route_ = Route::portal;
            portal_ = std::make_unique<ScreenCastPortal>();
        }
    }

    uint32_t fromPortal(const Rect& area, const GrabLayout& layout, uint8_t* pixels) {
        switch (portal_->status()) {
            case ScreenCastPortal::Status::pending:
                return 0;
            case ScreenCastPortal::Status::streaming:
                if (!toldStreaming_) {
                    std::fprintf(stderr, "t462: the grab comes from the ScreenCast portal\n");
                    toldStreaming_ = true;
                }
                return portal_->grab(area, layout, pixels);
            case ScreenCastPortal::Status::unavailable:
                giveUp(kNoCapture);
                return 0;
            case ScreenCastPortal::Status::refused:
                giveUp(kShareRefused);
                return 0;
            case ScreenCastPortal::Status::failed:
                giveUp(kNoFrames);
                return 0;
        }
        return 0;
    }

    // Says it once; from then on a grab is black at no cost.
    void giveUp(const Lack& lack) {
        route_ = Route::none;
        portal_.reset();
        notice() = x11::cp932FromUtf8(lack.status);
        std::fprintf(stderr, "t462: %s\n", lack.status);
        MessageBoxA(nullptr, x11::cp932FromUtf8(lack.box).c_str(),
                    x11::cp932FromUtf8(kCaption).c_str(), MB_OK | MB_ICONWARNING);
    }

    Route route_ = Route::undecided;
    std::unique_ptr<Screencopy> screencopy_;
    std::unique_ptr<ScreenCastPortal> portal_;
    bool toldStreaming_ = false;
};

}  // namespace

uint32_t x11::grabFromCompositor(const Rect& area, const GrabLayout& layout, uint8_t* pixels) {
    static CompositorGrab grab;
    return grab.grab(area, layout, pixels);
}

const char* statusNotice() { return notice().c_str(); }

}  // namespace platform
