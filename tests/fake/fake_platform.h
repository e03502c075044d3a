// A recording fake of the platform layer. Every call is appended to a log as
// "Name(arg, arg, ...)" (graphics objects as "Kind#id.Method(...)"); results
// come from scripts or from a small model of windows, messages, GDI objects,
// files, the screen and the graphics library.
//
// Argument formats: integers in decimal; styles, flags, colours and similar
// bit sets in lower-case hex ("0x12ce0000"); handles as "h<n>" and null as
// "null"; strings as their raw bytes; floats with %g; out-pointers as "&".
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/graphics.h"
#include "platform/types.h"

namespace fake {

// Thrown by ExitProcess, so a test can watch the process end.
struct ProcessExit {
    uint32_t code;
};

struct WindowRecord {
    std::string className;
    std::string title;
    uint32_t exStyle = 0;
    uint32_t style = 0;
    platform::Rect rect;                 // screen coordinates, frame included
    bool minimised = false;              // IsIconic
    platform::Point clientOrigin{4, 4};  // client origin inside the window rect
    platform::Point clientShrink{8, 8};  // window size minus client size
    platform::WindowHandle parent = nullptr;
    uintptr_t id = 0;
    platform::WindowProc procedure = nullptr;
    std::string text;
    bool alive = true;
    platform::GdiObject region = nullptr;
};

// A 32-bit picture, rows bottom-up, as GetDIBits hands it out.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

struct MeshMaterialSpec {
    platform::Material material;
    std::optional<std::string> texture;
};

// What D3DXLoadMeshFromX finds in a file of that name.
struct MeshFile {
    std::vector<MeshMaterialSpec> materials;
    bool hasMesh = true;
    bool hasMaterialBuffer = true;
    int32_t result = 0;
    // The count the loader reports, when it is not the number of materials.
    std::optional<uint32_t> reportedMaterialCount = std::nullopt;
};

struct Call {
    std::string name;  // "CreateWindowExA" or "Device#1.Present"
    std::vector<std::string> args;
    std::string text() const;  // "Name(a, b)"
};

class FakeObject;

struct State {
    // --- the log ---
    std::vector<Call> calls;
    std::vector<std::string> log() const;    // every call as text
    std::vector<std::string> names() const;  // every call's name
    // Names of calls whose name starts with one of the prefixes, in order.
    std::vector<std::string> namesMatching(const std::vector<std::string>& prefixes) const;
    const Call* find(const std::string& name, size_t nth = 0) const;
    size_t count(const std::string& name) const;
    void clearLog() { calls.clear(); }
    // Called right after each call is logged, with that call.
    std::function<void(const Call&)> onCall;

    // --- scripted results, consumed front first; a call falls back to its
    // default when its queue is empty ---
    std::map<std::string, std::deque<int64_t>> results;
    void script(const std::string& name, std::initializer_list<int64_t> values);

    // --- windows and messages ---
    std::map<platform::WindowHandle, WindowRecord> windows;
    std::map<std::string, platform::WindowProc> classes;
    std::deque<platform::Message> queue;
    std::map<int32_t, int16_t> keyState;       // GetKeyState
    std::map<int32_t, int16_t> asyncKeyState;  // GetAsyncKeyState
    platform::WindowHandle windowTitled(const std::string& title) const;
    platform::WindowHandle child(platform::WindowHandle parent, uintptr_t id) const;
    void post(platform::WindowHandle window, uint32_t message, uintptr_t wParam = 0,
              intptr_t lParam = 0);
    // Called inside every PeekMessageA, before the queue is looked at.
    std::function<void()> onPeek;
    // The clock of monotonicMicroseconds; a MsgWaitForMultipleObjects that
    // finds no message waiting moves it on by the time waited.
    uint64_t clock = 1000000;

    // --- GDI ---
    std::map<std::string, Picture> imageFiles;       // what LoadImageA can load
    std::map<platform::GdiObject, Picture> bitmaps;  // live bitmaps with content
    std::set<platform::GdiObject> deletedObjects;
    Picture clientPicture;                // what a window's client area shows to BitBlt
    platform::BitmapInfo lastBitmapInfo;  // what the last GetDIBits was given
    // The monitors, primary first; the virtual screen is the rectangle around
    // them.
    std::vector<platform::Rect> monitors = {{0, 0, 1920, 1080}};
    platform::Rect virtualScreen() const;
    std::string statusNotice;  // what statusNotice answers
    // The colour (0x00RRGGBB) of a screen pixel, for grabScreen.
    std::function<uint32_t(int32_t x, int32_t y)> screenPixel = [](int32_t, int32_t) { return 0u; };

    // --- files ---
    std::map<std::string, std::vector<uint8_t>> files;  // every file written
    std::set<std::string> unopenableFiles;              // CreateFileA fails for these
    std::optional<size_t> writeBudget;                  // bytes WriteFile may still write, when set
    std::map<platform::FileHandle, std::string> openFiles;

    // --- graphics ---
    bool direct3dAvailable = true;
    std::map<std::string, MeshFile> meshFiles;     // what D3DXLoadMeshFromX finds
    std::set<std::string> textureFiles;            // what D3DXCreateTextureFromFile loads
    std::vector<platform::Matrix> transforms;      // every matrix passed to SetTransform
    std::vector<platform::Material> materials;     // every material passed to SetMaterial
    std::vector<platform::Light> lights;           // every light passed to SetLight
    std::vector<std::vector<uint8_t>> vertexData;  // every DrawPrimitiveUP's vertices
    std::vector<std::string> texts;                // every text passed to DrawTextA
    platform::PresentParameters lastPresentParameters;
    platform::FontDescription lastFontDescription;
    platform::PresentParameters lastResetParameters;  // what the last Reset was given
    int liveObjects = 0;   // graphics objects created and not yet released
    int overReleases = 0;  // Release calls on an object already at zero

    // --- internal ---
    uintptr_t nextHandle = 0x1000;
    int nextObjectId = 1;
    std::vector<FakeObject*> objects;  // owned; freed by reset()
};

// The fake's state; reset() makes a fresh one and frees all fake objects.
State& state();
void reset();

// Helpers for building scripts.
platform::Material material(float r, float g, float b, float a = 1.0f);
std::string handleName(const void* handle);

}  // namespace fake
