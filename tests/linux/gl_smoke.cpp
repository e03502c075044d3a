// Drives the OpenGL graphics side with the program's own rendering code on an
// X window of its own: the device, the status font, the sample model reloaded
// every frame, the tint quad, the scene, the present. Run it in a folder with
// model.x and its picture; it prints what a frame costs and keeps showing the
// last frame for a while, so that a screenshot can be taken.
//
//   gl_smoke [--frames N] [--hold SECONDS] [--rewrite] [--inset]
//            [--client WIDTHxHEIGHT] [--vanish]
//
// --rewrite  writes the picture file anew before every reload (one pixel
//            changed), as the screen capture does, so that every reload
//            decodes and uploads it
// --inset    the client area lies inside a larger X window (a frame of 3 and
//            a caption of 29 pixels around it), as a window with a non-client
//            area drawn by the window side
// --client   the client area's size (default the back buffer's, 594x578);
//            the present scales the back buffer onto it
// --vanish   after the frames, destroys the X window behind the device's back
//            and draws a few frames more: each present must fail, and the
//            X errors must not end the program
//
// The window side's two functions the graphics side calls are stood in for
// here, as are the few window-system calls the rendering code makes (all on
// failure paths but one).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "controls/viewer_state.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/window_system.h"
#include "render/graphics_device.h"
#include "render/model_mesh.h"
#include "render/scene_frame.h"
#include "render/tint_quad.h"

namespace {

constexpr int kBackBufferWidth = 594;
constexpr int kBackBufferHeight = 578;
// The feedback picture's name as the file system has it (UTF-8).
constexpr const char* kPictureFile =
    "\xe3\x83\x95\xe3\x82\xa3\xe3\x83\xab\xe3\x82\xbf\xe3\x83\xbc.bmp";

struct Options {
    int frames = 300;
    double holdSeconds = 0;
    bool rewrite = false;
    bool inset = false;
    int clientWidth = 594;
    int clientHeight = 578;
    bool vanish = false;
};

struct SmokeWindow {
    Display* display = nullptr;
    ::Window window = None;
    platform::Rect client;
};
SmokeWindow smoke;
const auto kHandle = reinterpret_cast<platform::WindowHandle>(uintptr_t{0x462});

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The calling thread's processor time: what a step costs on a busy machine,
// where the clock also counts the time other processes take.
double threadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--frames" && i + 1 < argc) options.frames = std::atoi(argv[++i]);
        if (argument == "--hold" && i + 1 < argc) options.holdSeconds = std::atof(argv[++i]);
        if (argument == "--rewrite") options.rewrite = true;
        if (argument == "--inset") options.inset = true;
        if (argument == "--vanish") options.vanish = true;
        if (argument == "--client" && i + 1 < argc)
            std::sscanf(argv[++i], "%dx%d", &options.clientWidth, &options.clientHeight);
    }
    return options;
}

bool openWindow(const Options& options) {
    smoke.display = XOpenDisplay(nullptr);
    if (smoke.display == nullptr) return false;
    const int width = std::max(options.clientWidth, 1);
    const int height = std::max(options.clientHeight, 1);
    int left = 0;
    int top = 0;
    if (options.inset) {
        left = 3;
        top = 29;
    }
    smoke.client = {left, top, left + width, top + height};
    const int screen = DefaultScreen(smoke.display);
    smoke.window = XCreateSimpleWindow(smoke.display, RootWindow(smoke.display, screen), 110, 100,
                                       static_cast<unsigned>(width + (options.inset ? 6 : 0)),
                                       static_cast<unsigned>(height + (options.inset ? 32 : 0)), 0,
                                       0, 0x808080);
    XStoreName(smoke.display, smoke.window, "gl_smoke");
    XSelectInput(smoke.display, smoke.window, StructureNotifyMask);
    XMapWindow(smoke.display, smoke.window);
    for (XEvent event; XNextEvent(smoke.display, &event) == 0;) {
        if (event.type == MapNotify) break;
    }
    return true;
}

void rewritePicture(const std::vector<char>& original, int frame) {
    std::vector<char> bytes = original;
    if (bytes.size() > 100) bytes[bytes.size() - 1] = static_cast<char>(frame);
    std::ofstream(kPictureFile, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct Costs {
    double write = 0;
    double reload = 0;
    double reloadProcessor = 0;
    double render = 0;
    double present = 0;
};

// One frame as the program draws it; false when it could not be shown.
bool frame(ViewerState& state, Costs& costs, const Options& options,
           const std::vector<char>& picture, int number) {
    auto start = Clock::now();
    if (options.rewrite) rewritePicture(picture, number);
    costs.write += millisecondsSince(start);
    start = Clock::now();
    const double processorStart = threadMilliseconds();
    state.model.reset();
    state.model = std::make_unique<ModelMesh>();
    state.model->load("model.x");
    costs.reload += millisecondsSince(start);
    costs.reloadProcessor += threadMilliseconds() - processorStart;
    start = Clock::now();
    beginScene();
    clearScene();
    renderSceneFrame();
    endScene();
    costs.render += millisecondsSince(start);
    start = Clock::now();
    const bool shown = presentScene() == 0;
    costs.present += millisecondsSince(start);
    return shown;
}

// Frames after the X window is gone: each present fails, nothing ends the
// program, and the graphics objects are given up cleanly.
int vanish(ViewerState& state, const Options& options, const std::vector<char>& picture) {
    XDestroyWindow(smoke.display, smoke.window);
    XSync(smoke.display, False);
    int failed = 0;
    for (int i = 0; i < 5; ++i) {
        Costs ignored;
        if (!frame(state, ignored, options, picture, i)) ++failed;
    }
    state.overlay.reset();
    state.model.reset();
    releaseGraphics();
    XCloseDisplay(smoke.display);
    std::printf("after the window went: %d of 5 presents failed\n", failed);
    return failed == 5 ? 0 : 1;
}

}  // namespace

// --- what the window side gives the graphics side ---------------------------
namespace platform::x11 {
Display* display() { return smoke.display; }
ClientArea clientAreaOf(WindowHandle window) {
    if (window != kHandle) return {};
    return {smoke.window, smoke.client};
}
}  // namespace platform::x11

// --- the window-system calls the rendering code makes ------------------------
namespace platform {
int32_t MessageBoxA(WindowHandle, const char* text, const char*, uint32_t) {
    std::fprintf(stderr, "message box: %s\n", text);
    return 1;
}
void ExitProcess(uint32_t code) { std::exit(static_cast<int>(code)); }
InstanceHandle GetModuleHandleA(const char*) {
    return reinterpret_cast<InstanceHandle>(uintptr_t{0x400000});
}
uint32_t MsgWaitForMultipleObjects(uint32_t, uint32_t) { return 0; }
const char* statusNotice() { return ""; }
}  // namespace platform

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    if (!openWindow(options)) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    std::ifstream file(kPictureFile, std::ios::binary);
    const std::vector<char> picture((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    ViewerState& state = viewerState();
    state.displayWindow = kHandle;
    auto start = Clock::now();
    if (!initGraphics(kHandle, kBackBufferWidth, kBackBufferHeight)) {
        std::fprintf(stderr, "initGraphics failed\n");
        return 1;
    }
    std::printf("initGraphics: %.1f ms\n", millisecondsSince(start));
    state.overlay = std::make_unique<TintQuad>();

    Costs costs;
    start = Clock::now();
    int notShown = 0;
    for (int i = 0; i < options.frames; ++i) {
        if (!frame(state, costs, options, picture, i)) ++notShown;
    }
    if (notShown != 0) std::fprintf(stderr, "%d frames could not be shown\n", notShown);
    const double total = millisecondsSince(start);
    const double n = options.frames > 0 ? options.frames : 1;
    std::printf(
        "%d frames, %.3f ms a frame: picture write %.3f, model reload %.3f "
        "(processor %.3f), draw %.3f, present %.3f\n",
        options.frames, total / n, costs.write / n, costs.reload / n, costs.reloadProcessor / n,
        costs.render / n, costs.present / n);

    if (options.vanish) return vanish(state, options, picture);

    const auto holdUntil = Clock::now() + std::chrono::duration<double>(options.holdSeconds);
    for (int i = 0; Clock::now() < holdUntil; ++i) {
        Costs ignored;
        frame(state, ignored, options, picture, i);
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    if (options.rewrite) {
        std::ofstream(kPictureFile, std::ios::binary)
            .write(picture.data(), static_cast<std::streamsize>(picture.size()));
    }

    state.overlay.reset();
    state.model.reset();
    releaseGraphics();
    XDestroyWindow(smoke.display, smoke.window);
    XCloseDisplay(smoke.display);
    return 0;
}
