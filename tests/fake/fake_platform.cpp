#include "fake/fake_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/graphics.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace fake {
namespace {

std::unique_ptr<State> current = std::make_unique<State>();

std::string dec(int64_t value) { return std::to_string(value); }

std::string hex(uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

std::string flt(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string str(const char* text) { return text == nullptr ? "null" : std::string(text); }

std::string out(const void* pointer) { return pointer == nullptr ? "null" : "&"; }

void record(std::string name, std::vector<std::string> args) {
    current->calls.push_back(Call{std::move(name), std::move(args)});
    if (current->onCall) {
        const Call logged = current->calls.back();  // the hook may log more calls
        current->onCall(logged);
    }
}

int64_t scripted(const std::string& name, int64_t fallback) {
    auto found = current->results.find(name);
    if (found == current->results.end() || found->second.empty()) return fallback;
    const int64_t value = found->second.front();
    found->second.pop_front();
    return value;
}

template <class Handle>
Handle newHandle() {
    return reinterpret_cast<Handle>(current->nextHandle++);
}

WindowRecord* windowOf(platform::WindowHandle window) {
    auto found = current->windows.find(window);
    return found == current->windows.end() ? nullptr : &found->second;
}

// A value outside the shared list (platform/windows_values.h) is one that no
// backend was made for: the test that passes it fails.
void requireListed(bool listed, const char* call, const char* what, uint64_t value) {
    if (!listed)
        ADD_FAILURE() << call << ": " << what << " " << hex(value)
                      << " is not in platform/windows_values.h";
}

}  // namespace

// --- graphics objects --------------------------------------------------------

class FakeObject {
public:
    explicit FakeObject(std::string kind)
        : name_(std::move(kind) + "#" + dec(current->nextObjectId++)) {
        ++current->liveObjects;
        current->objects.push_back(this);
    }
    virtual ~FakeObject() = default;
    const std::string& name() const { return name_; }

protected:
    uint32_t releaseOnce() {
        record(name_ + ".Release", {});
        if (references_ == 0) {
            ++current->overReleases;
            return 0;
        }
        if (--references_ == 0) --current->liveObjects;
        return references_;
    }
    void log(const std::string& method, std::vector<std::string> args) {
        record(name_ + "." + method, std::move(args));
    }
    int32_t result(const std::string& method, int32_t fallback) {
        // Scripts name the method with the kind only ("Device.Present").
        const std::string kind = name_.substr(0, name_.find('#'));
        return static_cast<int32_t>(scripted(kind + "." + method, fallback));
    }

private:
    std::string name_;
    uint32_t references_ = 1;
};

std::string handleName(const void* handle) {
    if (handle == nullptr) return "null";
    return "h" + dec(static_cast<int64_t>(reinterpret_cast<uintptr_t>(handle)));
}

namespace {

std::string objectName(const void* object);

class FakeTexture final : public FakeObject, public platform::Direct3DTexture9 {
public:
    FakeTexture() : FakeObject("Texture") {}
    uint32_t Release() override { return releaseOnce(); }
};

class FakeBuffer final : public FakeObject, public platform::D3DXBuffer {
public:
    explicit FakeBuffer(const std::vector<MeshMaterialSpec>& materials) : FakeObject("Buffer") {
        for (const auto& entry : materials) names_.push_back(entry.texture.value_or(""));
        entries_.resize(materials.size());
        for (size_t i = 0; i < materials.size(); ++i) {
            entries_[i].material = materials[i].material;
            entries_[i].textureFilename = materials[i].texture ? names_[i].data() : nullptr;
        }
    }
    uint32_t Release() override { return releaseOnce(); }
    void* GetBufferPointer() override {
        log("GetBufferPointer", {});
        return entries_.data();
    }
    uint32_t GetBufferSize() override {
        return static_cast<uint32_t>(entries_.size() * sizeof(platform::MeshMaterial));
    }

private:
    std::vector<std::string> names_;
    std::vector<platform::MeshMaterial> entries_;
};

class FakeMesh final : public FakeObject, public platform::D3DXMesh {
public:
    FakeMesh() : FakeObject("Mesh") {}
    uint32_t Release() override { return releaseOnce(); }
    int32_t DrawSubset(uint32_t subset) override {
        log("DrawSubset", {dec(subset)});
        return result("DrawSubset", 0);
    }
};

class FakeFont final : public FakeObject, public platform::D3DXFont {
public:
    FakeFont() : FakeObject("Font") {}
    uint32_t Release() override { return releaseOnce(); }
    int32_t DrawTextA(void* sprite, const char* text, int32_t count, platform::Rect* rect,
                      uint32_t format, uint32_t colour) override {
        const platform::Rect r = rect != nullptr ? *rect : platform::Rect{};
        log("DrawTextA", {out(sprite), str(text), dec(count),
                          dec(r.left) + " " + dec(r.top) + " " + dec(r.right) + " " + dec(r.bottom),
                          hex(format), hex(colour)});
        current->texts.push_back(str(text));
        return result("DrawTextA", 14);
    }
    int32_t OnLostDevice() override {
        log("OnLostDevice", {});
        return 0;
    }
    int32_t OnResetDevice() override {
        log("OnResetDevice", {});
        return 0;
    }
};

class FakeDirectInput final : public FakeObject, public platform::DirectInput8 {
public:
    FakeDirectInput() : FakeObject("DirectInput") {}
    uint32_t Release() override { return releaseOnce(); }
};

class FakeDevice final : public FakeObject, public platform::Direct3DDevice9 {
public:
    FakeDevice() : FakeObject("Device") {}
    uint32_t Release() override { return releaseOnce(); }
    int32_t TestCooperativeLevel() override {
        log("TestCooperativeLevel", {});
        return result("TestCooperativeLevel", 0);
    }
    int32_t Reset(platform::PresentParameters* parameters) override {
        log("Reset", {out(parameters)});
        if (parameters != nullptr) current->lastResetParameters = *parameters;
        return result("Reset", 0);
    }
    int32_t BeginScene() override {
        log("BeginScene", {});
        return 0;
    }
    int32_t Clear(uint32_t count, const platform::Rect* rects, uint32_t flags, uint32_t colour,
                  float z, uint32_t stencil) override {
        log("Clear", {dec(count), out(rects), hex(flags), hex(colour), flt(z), dec(stencil)});
        requireListed(platform::onlyListedFlags(platform::kListedClearFlags, flags), "Clear",
                      "flags", flags);
        return 0;
    }
    int32_t EndScene() override {
        log("EndScene", {});
        return 0;
    }
    int32_t Present(const platform::Rect* source, const platform::Rect* destination,
                    platform::WindowHandle window, const void* dirty) override {
        log("Present", {out(source), out(destination), handleName(window), out(dirty)});
        return result("Present", 0);
    }
    int32_t SetLight(uint32_t index, const platform::Light* light) override {
        log("SetLight", {dec(index), out(light)});
        if (light != nullptr) current->lights.push_back(*light);
        return 0;
    }
    int32_t LightEnable(uint32_t index, int32_t enable) override {
        log("LightEnable", {dec(index), dec(enable)});
        return 0;
    }
    int32_t SetRenderState(uint32_t state, uint32_t value) override {
        log("SetRenderState", {dec(state), dec(value)});
        requireListed(platform::isListed(platform::kListedRenderStates, state), "SetRenderState",
                      "state", state);
        return 0;
    }
    int32_t SetTransform(uint32_t state, const platform::Matrix* matrix) override {
        log("SetTransform", {dec(state), out(matrix)});
        requireListed(platform::isListed(platform::kListedTransforms, state), "SetTransform",
                      "transform", state);
        if (matrix != nullptr) current->transforms.push_back(*matrix);
        return 0;
    }
    int32_t SetMaterial(const platform::Material* material) override {
        log("SetMaterial", {out(material)});
        if (material != nullptr) current->materials.push_back(*material);
        return 0;
    }
    int32_t SetTexture(uint32_t stage, platform::Direct3DTexture9* texture) override {
        log("SetTexture", {dec(stage), objectName(texture)});
        return 0;
    }
    int32_t SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) override {
        log("SetTextureStageState", {dec(stage), dec(type), dec(value)});
        requireListed(platform::isListed(platform::kListedTextureStageStates, type),
                      "SetTextureStageState", "state", type);
        return 0;
    }
    int32_t SetFVF(uint32_t fvf) override {
        log("SetFVF", {hex(fvf)});
        requireListed(platform::onlyListedFlags(platform::kListedVertexFormats, fvf), "SetFVF",
                      "format", fvf);
        return 0;
    }
    int32_t DrawPrimitiveUP(uint32_t type, uint32_t count, const void* vertices,
                            uint32_t stride) override {
        log("DrawPrimitiveUP", {dec(type), dec(count), out(vertices), dec(stride)});
        requireListed(platform::isListed(platform::kListedPrimitiveTypes, type), "DrawPrimitiveUP",
                      "primitive type", type);
        // A triangle fan of `count` triangles reads count + 2 vertices.
        const auto* bytes = static_cast<const uint8_t*>(vertices);
        if (bytes != nullptr)
            current->vertexData.emplace_back(bytes, bytes + size_t{stride} * (count + 2));
        return 0;
    }
};

class FakeDirect3D final : public FakeObject, public platform::Direct3D9 {
public:
    FakeDirect3D() : FakeObject("Direct3D") {}
    uint32_t Release() override { return releaseOnce(); }
    int32_t CreateDevice(uint32_t adapter, uint32_t type, platform::WindowHandle focus,
                         uint32_t flags, platform::PresentParameters* parameters,
                         platform::Direct3DDevice9** device) override {
        log("CreateDevice",
            {dec(adapter), dec(type), handleName(focus), hex(flags), out(parameters), out(device)});
        if (parameters != nullptr) {
            current->lastPresentParameters = *parameters;
            requireListed(
                platform::isListed(platform::kListedFormats, parameters->backBufferFormat),
                "CreateDevice", "back buffer format", parameters->backBufferFormat);
            requireListed(
                platform::isListed(platform::kListedFormats, parameters->autoDepthStencilFormat),
                "CreateDevice", "depth format", parameters->autoDepthStencilFormat);
        }
        const int32_t r = result("CreateDevice", 0);
        if (r == 0 && device != nullptr) *device = new FakeDevice();
        return r;
    }
};

std::string objectName(const void* object) {
    if (object == nullptr) return "null";
    for (FakeObject* candidate : current->objects) {
        if (auto* texture = dynamic_cast<platform::Direct3DTexture9*>(candidate);
            texture != nullptr && texture == object)
            return candidate->name();
    }
    return "?";
}

}  // namespace

// --- State -------------------------------------------------------------------

platform::Rect State::virtualScreen() const {
    if (monitors.empty()) return {};
    platform::Rect all = monitors.front();
    for (const platform::Rect& monitor : monitors) {
        all.left = std::min(all.left, monitor.left);
        all.top = std::min(all.top, monitor.top);
        all.right = std::max(all.right, monitor.right);
        all.bottom = std::max(all.bottom, monitor.bottom);
    }
    return all;
}

std::string Call::text() const {
    std::string joined = name + "(";
    for (size_t i = 0; i < args.size(); ++i) joined += (i == 0 ? "" : ", ") + args[i];
    return joined + ")";
}

std::vector<std::string> State::log() const {
    std::vector<std::string> lines;
    for (const Call& call : calls) lines.push_back(call.text());
    return lines;
}

std::vector<std::string> State::names() const {
    std::vector<std::string> lines;
    for (const Call& call : calls) lines.push_back(call.name);
    return lines;
}

std::vector<std::string> State::namesMatching(const std::vector<std::string>& prefixes) const {
    std::vector<std::string> lines;
    for (const Call& call : calls)
        for (const std::string& prefix : prefixes)
            if (call.name.rfind(prefix, 0) == 0) {
                lines.push_back(call.name);
                break;
            }
    return lines;
}

const Call* State::find(const std::string& name, size_t nth) const {
    for (const Call& call : calls)
        if (call.name == name && nth-- == 0) return &call;
    return nullptr;
}

size_t State::count(const std::string& name) const {
    return static_cast<size_t>(
        std::count_if(calls.begin(), calls.end(), [&](const Call& c) { return c.name == name; }));
}

void State::script(const std::string& name, std::initializer_list<int64_t> values) {
    auto& queue_ = results[name];
    queue_.insert(queue_.end(), values.begin(), values.end());
}

platform::WindowHandle State::windowTitled(const std::string& title) const {
    for (const auto& [handle, window] : windows)
        if (window.title == title && window.parent == nullptr) return handle;
    return nullptr;
}

platform::WindowHandle State::child(platform::WindowHandle parent, uintptr_t id) const {
    for (const auto& [handle, window] : windows)
        if (window.parent == parent && window.id == id) return handle;
    return nullptr;
}

void State::post(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                 intptr_t lParam) {
    platform::Message posted;
    posted.window = window;
    posted.message = message;
    posted.wParam = wParam;
    posted.lParam = lParam;
    queue.push_back(posted);
}

State& state() { return *current; }

void reset() {
    std::vector<FakeObject*> objects = std::move(current->objects);
    for (FakeObject* object : objects) delete object;
    current = std::make_unique<State>();
}

platform::Material material(float r, float g, float b, float a) {
    platform::Material m;
    m.diffuse = {r, g, b, a};
    return m;
}

}  // namespace fake

// --- the platform layer, faked -------------------------------------------------

namespace platform {

using fake::dec;
using fake::flt;
using fake::handleName;
using fake::hex;
using fake::out;
using fake::record;
using fake::scripted;
using fake::str;

InstanceHandle GetModuleHandleA(const char* moduleName) {
    record("GetModuleHandleA", {str(moduleName)});
    return reinterpret_cast<InstanceHandle>(uintptr_t{0x400000});
}

void ExitProcess(uint32_t exitCode) {
    record("ExitProcess", {dec(exitCode)});
    throw fake::ProcessExit{exitCode};
}

int32_t MessageBoxA(WindowHandle owner, const char* text, const char* caption, uint32_t style) {
    record("MessageBoxA", {handleName(owner), str(text), str(caption), hex(style)});
    fake::requireListed(isListedMessageBoxStyle(style), "MessageBoxA", "style", style);
    return 1;
}

bool InitCommonControlsEx(uint32_t recordSize, uint32_t classes) {
    record("InitCommonControlsEx", {dec(recordSize), hex(classes)});
    return true;
}

IconHandle LoadIconA(InstanceHandle instance, uintptr_t resourceId) {
    record("LoadIconA", {handleName(instance), dec(static_cast<int64_t>(resourceId))});
    return reinterpret_cast<IconHandle>(uintptr_t{0x100} + resourceId);
}

CursorHandle LoadCursorA(InstanceHandle instance, uintptr_t resourceId) {
    record("LoadCursorA", {handleName(instance), dec(static_cast<int64_t>(resourceId))});
    return reinterpret_cast<CursorHandle>(uintptr_t{0x200} + resourceId);
}

uint32_t GetSysColor(int32_t index) {
    record("GetSysColor", {dec(index)});
    fake::requireListed(isListed(kListedSystemColours, index), "GetSysColor", "index",
                        static_cast<uint32_t>(index));
    return static_cast<uint32_t>(scripted("GetSysColor", 0xF0F0F0));
}

uint16_t RegisterClassExA(const WindowClass* windowClass) {
    record("RegisterClassExA",
           {dec(windowClass->size), hex(windowClass->style), str(windowClass->className),
            handleName(windowClass->instance), handleName(windowClass->icon),
            handleName(windowClass->cursor), handleName(windowClass->background),
            str(windowClass->menuName), handleName(windowClass->smallIcon),
            dec(windowClass->classExtra), dec(windowClass->windowExtra)});
    fake::requireListed(onlyListedFlags(kListedClassStyles, windowClass->style), "RegisterClassExA",
                        "class style", windowClass->style);
    fake::current->classes[windowClass->className] = windowClass->procedure;
    return static_cast<uint16_t>(fake::current->classes.size());
}

WindowHandle CreateWindowExA(uint32_t exStyle, const char* className, const char* title,
                             uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                             WindowHandle parent, uintptr_t menuOrId, InstanceHandle instance,
                             void* creationData) {
    record("CreateWindowExA",
           {hex(exStyle), str(className), str(title), hex(style), dec(x), dec(y), dec(width),
            dec(height), handleName(parent), dec(static_cast<int64_t>(menuOrId)),
            handleName(instance), out(creationData)});
    fake::requireListed(onlyListedFlags(kListedWindowStyles, style), "CreateWindowExA", "style",
                        style);
    fake::requireListed(onlyListedFlags(kListedExtendedStyles, exStyle), "CreateWindowExA",
                        "extended style", exStyle);
    if (static_cast<int64_t>(scripted("CreateWindowExA", 1)) == 0) return nullptr;
    const auto handle = fake::newHandle<WindowHandle>();
    fake::WindowRecord window;
    window.className = str(className);
    window.title = str(title);
    window.exStyle = exStyle;
    window.style = style;
    const int32_t left = x == platform::CW_USEDEFAULT ? 0 : x;
    const int32_t top = y == platform::CW_USEDEFAULT ? 0 : y;
    window.rect = {left, top, left + width, top + height};
    window.parent = parent;
    window.id = menuOrId;
    window.text = str(title);
    auto found = fake::current->classes.find(window.className);
    window.procedure = found == fake::current->classes.end() ? nullptr : found->second;
    fake::current->windows[handle] = window;
    if (window.procedure != nullptr) window.procedure(handle, WM_CREATE, 0, 0);
    return handle;
}

intptr_t DefWindowProcA(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    record("DefWindowProcA",
           {handleName(window), hex(message), dec(static_cast<int64_t>(wParam)), dec(lParam)});
    return static_cast<intptr_t>(scripted("DefWindowProcA", 0));
}

bool DestroyWindow(WindowHandle window) {
    record("DestroyWindow", {handleName(window)});
    fake::WindowRecord* record_ = fake::windowOf(window);
    if (record_ == nullptr || !record_->alive) return false;
    record_->alive = false;
    if (record_->procedure != nullptr) record_->procedure(window, WM_DESTROY, 0, 0);
    return true;
}

bool MoveWindow(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height,
                bool repaint) {
    record("MoveWindow",
           {handleName(window), dec(x), dec(y), dec(width), dec(height), dec(repaint ? 1 : 0)});
    fake::WindowRecord* w = fake::windowOf(window);
    if (w == nullptr || !w->alive) return false;
    w->rect = {x, y, x + width, y + height};
    return true;
}

bool SetWindowPos(WindowHandle window, intptr_t insertAfter, int32_t x, int32_t y, int32_t width,
                  int32_t height, uint32_t flags) {
    record("SetWindowPos", {handleName(window), dec(insertAfter), dec(x), dec(y), dec(width),
                            dec(height), hex(flags)});
    fake::requireListed(onlyListedFlags(kListedPositionFlags, flags), "SetWindowPos", "flags",
                        flags);
    fake::requireListed(isListed(kListedWindowPlaces, insertAfter) ||
                            fake::windowOf(reinterpret_cast<WindowHandle>(insertAfter)) != nullptr,
                        "SetWindowPos", "place", static_cast<uint64_t>(insertAfter));
    return true;
}

bool GetWindowRect(WindowHandle window, Rect* rect) {
    record("GetWindowRect", {handleName(window), out(rect)});
    fake::WindowRecord* w = fake::windowOf(window);
    if (w == nullptr || !w->alive) return false;
    *rect = w->rect;
    return true;
}

bool GetClientRect(WindowHandle window, Rect* rect) {
    record("GetClientRect", {handleName(window), out(rect)});
    fake::WindowRecord* w = fake::windowOf(window);
    if (w == nullptr || !w->alive) return false;
    *rect = {0, 0, w->rect.right - w->rect.left - w->clientShrink.x,
             w->rect.bottom - w->rect.top - w->clientShrink.y};
    return true;
}

bool ClientToScreen(WindowHandle window, Point* point) {
    record("ClientToScreen", {handleName(window), dec(point->x) + " " + dec(point->y)});
    fake::WindowRecord* w = fake::windowOf(window);
    if (w == nullptr || !w->alive) return false;
    point->x += w->rect.left + w->clientOrigin.x;
    point->y += w->rect.top + w->clientOrigin.y;
    return true;
}

int32_t SetWindowRgn(WindowHandle window, GdiObject region, bool redraw) {
    record("SetWindowRgn", {handleName(window), handleName(region), dec(redraw ? 1 : 0)});
    if (fake::WindowRecord* w = fake::windowOf(window)) w->region = region;
    return 1;
}

WindowHandle GetDlgItem(WindowHandle dialog, int32_t id) {
    record("GetDlgItem", {handleName(dialog), dec(id)});
    return fake::current->child(dialog, static_cast<uintptr_t>(id));
}

uint32_t GetDlgItemTextA(WindowHandle dialog, int32_t id, char* text, int32_t capacity) {
    record("GetDlgItemTextA", {handleName(dialog), dec(id), out(text), dec(capacity)});
    if (capacity <= 0) return 0;
    std::string content;
    if (auto item = fake::current->child(dialog, static_cast<uintptr_t>(id)))
        content = fake::current->windows[item].text;
    const size_t length = std::min(content.size(), static_cast<size_t>(capacity - 1));
    std::memcpy(text, content.data(), length);
    text[length] = '\0';
    return static_cast<uint32_t>(length);
}

intptr_t SendMessageA(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    record("SendMessageA", {handleName(window), hex(message),
                            handleName(reinterpret_cast<void*>(wParam)), dec(lParam)});
    fake::requireListed(isListed(kListedMessages, message), "SendMessageA", "message", message);
    return 0;
}

bool ReleaseCapture() {
    record("ReleaseCapture", {});
    return true;
}

WindowHandle GetDesktopWindow() {
    record("GetDesktopWindow", {});
    return reinterpret_cast<WindowHandle>(uintptr_t{0x10});
}

int32_t GetSystemMetrics(int32_t index) {
    record("GetSystemMetrics", {dec(index)});
    fake::requireListed(isListed(kListedSystemMetrics, index), "GetSystemMetrics", "index",
                        static_cast<uint32_t>(index));
    const std::vector<Rect>& monitors = fake::current->monitors;
    const Rect primary = monitors.empty() ? Rect{} : monitors.front();
    const Rect all = fake::current->virtualScreen();
    switch (index) {
        case SM_CXSCREEN:
            return primary.right - primary.left;
        case SM_CYSCREEN:
            return primary.bottom - primary.top;
        case SM_XVIRTUALSCREEN:
            return all.left;
        case SM_YVIRTUALSCREEN:
            return all.top;
        case SM_CXVIRTUALSCREEN:
            return all.right - all.left;
        case SM_CYVIRTUALSCREEN:
            return all.bottom - all.top;
        default:
            return 0;
    }
}

bool IsIconic(WindowHandle window) {
    record("IsIconic", {handleName(window)});
    const fake::WindowRecord* w = fake::windowOf(window);
    return w != nullptr && w->alive && w->minimised;
}

bool EnumDisplayMonitors(MonitorVisitor visit, void* context) {
    record("EnumDisplayMonitors", {});
    if (fake::scripted("EnumDisplayMonitors", 1) == 0) return false;
    for (const Rect& monitor : fake::current->monitors)
        if (!visit(monitor, context)) break;
    return true;
}

uint32_t MsgWaitForMultipleObjects(uint32_t milliseconds, uint32_t wakeMask) {
    record("MsgWaitForMultipleObjects", {dec(milliseconds), hex(wakeMask)});
    if (!fake::current->queue.empty()) return 0;
    fake::current->clock += uint64_t{milliseconds} * 1000;
    return 258;
}

uint64_t monotonicMicroseconds() {
    record("monotonicMicroseconds", {});
    return fake::current->clock;
}

bool PeekMessageA(Message* message, WindowHandle window, uint32_t filterMin, uint32_t filterMax,
                  uint32_t removeFlags) {
    record("PeekMessageA",
           {out(message), handleName(window), dec(filterMin), dec(filterMax), hex(removeFlags)});
    if (fake::current->onPeek) fake::current->onPeek();
    if (fake::current->queue.empty()) return false;
    *message = fake::current->queue.front();
    if ((removeFlags & PM_REMOVE) != 0) fake::current->queue.pop_front();
    return true;
}

bool TranslateMessage(const Message* message) {
    record("TranslateMessage", {hex(message->message)});
    return false;
}

intptr_t DispatchMessageA(const Message* message) {
    record("DispatchMessageA", {handleName(message->window), hex(message->message)});
    fake::WindowRecord* w = fake::windowOf(message->window);
    if (w == nullptr || w->procedure == nullptr) return 0;
    return w->procedure(message->window, message->message, message->wParam, message->lParam);
}

void PostQuitMessage(int32_t exitCode) {
    record("PostQuitMessage", {dec(exitCode)});
    fake::current->post(nullptr, WM_QUIT, static_cast<uintptr_t>(exitCode), 0);
}

int16_t GetKeyState(int32_t virtualKey) {
    record("GetKeyState", {dec(virtualKey)});
    auto found = fake::current->keyState.find(virtualKey);
    return found == fake::current->keyState.end() ? int16_t{0} : found->second;
}

int16_t GetAsyncKeyState(int32_t virtualKey) {
    record("GetAsyncKeyState", {dec(virtualKey)});
    auto found = fake::current->asyncKeyState.find(virtualKey);
    return found == fake::current->asyncKeyState.end() ? int16_t{0} : found->second;
}

GdiObject CreateFontA(int32_t height, int32_t width, int32_t escapement, int32_t orientation,
                      int32_t weight, uint32_t italic, uint32_t underline, uint32_t strikeOut,
                      uint32_t charSet, uint32_t outPrecision, uint32_t clipPrecision,
                      uint32_t quality, uint32_t pitchAndFamily, const char* faceName) {
    record("CreateFontA",
           {dec(height), dec(width), dec(escapement), dec(orientation), dec(weight), dec(italic),
            dec(underline), dec(strikeOut), dec(charSet), dec(outPrecision), dec(clipPrecision),
            dec(quality), hex(pitchAndFamily), str(faceName)});
    return fake::newHandle<GdiObject>();
}

GdiObject CreateSolidBrush(uint32_t colour) {
    record("CreateSolidBrush", {hex(colour)});
    return fake::newHandle<GdiObject>();
}

bool DeleteObject(GdiObject object) {
    record("DeleteObject", {handleName(object)});
    if (object == nullptr) return false;
    fake::current->deletedObjects.insert(object);
    fake::current->bitmaps.erase(object);
    return true;
}

GdiObject LoadImageA(InstanceHandle instance, const char* name, uint32_t type, int32_t width,
                     int32_t height, uint32_t flags) {
    record("LoadImageA",
           {handleName(instance), str(name), dec(type), dec(width), dec(height), hex(flags)});
    fake::requireListed(type == IMAGE_BITMAP, "LoadImageA", "image type", type);
    fake::requireListed(onlyListedFlags(kListedLoadFlags, flags), "LoadImageA", "flags", flags);
    auto found = fake::current->imageFiles.find(str(name));
    if (found == fake::current->imageFiles.end()) return nullptr;
    const auto handle = fake::newHandle<GdiObject>();
    fake::current->bitmaps[handle] = found->second;
    return handle;
}

int32_t GetObjectA(GdiObject object, int32_t size, BitmapRecord* bitmap) {
    record("GetObjectA", {handleName(object), dec(size), out(bitmap)});
    auto found = fake::current->bitmaps.find(object);
    if (found == fake::current->bitmaps.end() || bitmap == nullptr) return 0;
    bitmap->type = 0;
    bitmap->width = found->second.width;
    bitmap->height = found->second.height;
    bitmap->widthBytes = found->second.width * 4;
    bitmap->planes = 1;
    bitmap->bitsPerPixel = 32;
    return static_cast<int32_t>(sizeof(BitmapRecord));
}

DeviceContext BeginPaint(WindowHandle window, PaintRecord* paint) {
    record("BeginPaint", {handleName(window), out(paint)});
    paint->dc = fake::newHandle<DeviceContext>();
    return paint->dc;
}

bool EndPaint(WindowHandle window, const PaintRecord* paint) {
    record("EndPaint", {handleName(window), handleName(paint->dc)});
    return true;
}

DeviceContext GetDC(WindowHandle window) {
    record("GetDC", {handleName(window)});
    return fake::newHandle<DeviceContext>();
}

int32_t ReleaseDC(WindowHandle window, DeviceContext dc) {
    record("ReleaseDC", {handleName(window), handleName(dc)});
    return 1;
}

DeviceContext CreateCompatibleDC(DeviceContext dc) {
    record("CreateCompatibleDC", {handleName(dc)});
    return fake::newHandle<DeviceContext>();
}

GdiObject CreateCompatibleBitmap(DeviceContext dc, int32_t width, int32_t height) {
    record("CreateCompatibleBitmap", {handleName(dc), dec(width), dec(height)});
    const auto handle = fake::newHandle<GdiObject>();
    fake::Picture blank;
    blank.width = width;
    blank.height = height;
    blank.pixels.assign(static_cast<size_t>(std::max(0, width)) * std::max(0, height), 0);
    fake::current->bitmaps[handle] = blank;
    return handle;
}

GdiObject SelectObject(DeviceContext dc, GdiObject object) {
    record("SelectObject", {handleName(dc), handleName(object)});
    return nullptr;
}

bool BitBlt(DeviceContext destination, int32_t x, int32_t y, int32_t width, int32_t height,
            DeviceContext source, int32_t sourceX, int32_t sourceY, uint32_t rasterOp) {
    record("BitBlt", {handleName(destination), dec(x), dec(y), dec(width), dec(height),
                      handleName(source), dec(sourceX), dec(sourceY), hex(rasterOp)});
    fake::requireListed(isListed(kListedRasterOperations, rasterOp), "BitBlt", "raster operation",
                        rasterOp);
    // The copy lands in the most recently made compatible bitmap: the client
    // area's picture, cut or padded to that bitmap's size.
    for (auto it = fake::current->bitmaps.rbegin(); it != fake::current->bitmaps.rend(); ++it) {
        fake::Picture& target = it->second;
        if (target.pixels.size() !=
            static_cast<size_t>(std::max(0, target.width)) * std::max(0, target.height))
            continue;
        const fake::Picture& client = fake::current->clientPicture;
        for (int32_t row = 0; row < target.height; ++row)
            for (int32_t column = 0; column < target.width; ++column) {
                // Rows are bottom-up in both pictures; align their top rows.
                const int32_t fromTop = target.height - 1 - row;
                const int32_t clientRow = client.height - 1 - fromTop;
                uint32_t value = 0;
                if (column < client.width && clientRow >= 0 && clientRow < client.height)
                    value = client.pixels[static_cast<size_t>(clientRow) * client.width + column];
                target.pixels[static_cast<size_t>(row) * target.width + column] = value;
            }
        break;
    }
    return true;
}

bool DeleteDC(DeviceContext dc) {
    record("DeleteDC", {handleName(dc)});
    return true;
}

int32_t GetDIBits(DeviceContext dc, GdiObject bitmap, uint32_t startScan, uint32_t scanLines,
                  void* bits, BitmapInfo* info, uint32_t usage) {
    record("GetDIBits",
           {handleName(dc), handleName(bitmap), dec(startScan), dec(scanLines), out(bits),
            info != nullptr ? dec(info->header.width) + "x" + dec(info->header.height) + "x" +
                                  dec(info->header.bitCount)
                            : "null",
            dec(usage)});
    if (info != nullptr) fake::current->lastBitmapInfo = *info;
    // A script of 0 makes the call fail; it falls back to reading the bitmap.
    if (scripted("GetDIBits", 1) == 0) return 0;
    auto found = fake::current->bitmaps.find(bitmap);
    if (found == fake::current->bitmaps.end() || bits == nullptr || info == nullptr) return 0;
    const fake::Picture& picture = found->second;
    // 32-bit rows of the described width; the picture's bottom rows first.
    const int32_t width = info->header.width;
    const int32_t rows = std::min<int32_t>(static_cast<int32_t>(scanLines),
                                           std::min(info->header.height, picture.height));
    auto* target = static_cast<uint32_t*>(bits);
    for (int32_t row = 0; row < rows; ++row)
        for (int32_t column = 0; column < width && column < picture.width; ++column)
            target[static_cast<size_t>(row) * width + column] =
                picture.pixels[static_cast<size_t>(row) * picture.width + column];
    return rows;
}

GdiObject CreateRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    record("CreateRectRgn", {dec(left), dec(top), dec(right), dec(bottom)});
    return fake::newHandle<GdiObject>();
}

int32_t CombineRgn(GdiObject destination, GdiObject source1, GdiObject source2, int32_t mode) {
    record("CombineRgn",
           {handleName(destination), handleName(source1), handleName(source2), dec(mode)});
    fake::requireListed(isListed(kListedRegionModes, mode), "CombineRgn", "mode",
                        static_cast<uint32_t>(mode));
    return SIMPLEREGION;
}

const char* statusNotice() { return fake::current->statusNotice.c_str(); }

uint32_t grabScreen(const Rect& area, uint8_t* pixels, size_t size) {
    record("grabScreen", {dec(area.left), dec(area.top), dec(area.right), dec(area.bottom),
                          out(pixels), dec(static_cast<int64_t>(size))});
    const int32_t width = area.right - area.left;
    const int32_t height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return 0;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    const size_t needed = stride * static_cast<size_t>(height);
    if (needed > size) return 0;
    for (int32_t row = 0; row < height; ++row) {
        const int32_t y = area.bottom - 1 - row;
        uint8_t* line = pixels + stride * static_cast<size_t>(row);
        for (int32_t column = 0; column < width; ++column) {
            const uint32_t colour = fake::current->screenPixel(area.left + column, y);
            line[column * 3 + 0] = static_cast<uint8_t>(colour);
            line[column * 3 + 1] = static_cast<uint8_t>(colour >> 8);
            line[column * 3 + 2] = static_cast<uint8_t>(colour >> 16);
        }
    }
    // A scripted result stands for a grab that failed after writing the pixels.
    return static_cast<uint32_t>(scripted("grabScreen", static_cast<int64_t>(needed)));
}

FileHandle CreateFileA(const char* name, uint32_t access, uint32_t shareMode, uint32_t disposition,
                       uint32_t attributes) {
    record("CreateFileA",
           {str(name), hex(access), hex(shareMode), dec(disposition), hex(attributes)});
    if (fake::current->unopenableFiles.count(str(name)) != 0) return kInvalidFile;
    const auto handle = fake::newHandle<FileHandle>();
    fake::current->files[str(name)].clear();
    fake::current->openFiles[handle] = str(name);
    return handle;
}

bool WriteFile(FileHandle file, const void* data, uint32_t size, uint32_t* written) {
    record("WriteFile", {handleName(file), out(data), dec(size), out(written)});
    if (written != nullptr) *written = 0;
    auto found = fake::current->openFiles.find(file);
    if (found == fake::current->openFiles.end()) return false;
    uint32_t accepted = size;
    if (fake::current->writeBudget) {
        accepted = static_cast<uint32_t>(std::min<size_t>(size, *fake::current->writeBudget));
        *fake::current->writeBudget -= accepted;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    auto& content = fake::current->files[found->second];
    content.insert(content.end(), bytes, bytes + accepted);
    if (written != nullptr) *written = accepted;
    return accepted == size;
}

bool CloseHandle(FileHandle file) {
    record("CloseHandle", {handleName(file)});
    return fake::current->openFiles.erase(file) != 0;
}

// --- graphics ------------------------------------------------------------------

int32_t CoInitialize(void* reserved) {
    record("CoInitialize", {out(reserved)});
    return 0;
}

void CoUninitialize() { record("CoUninitialize", {}); }

Direct3D9* Direct3DCreate9(uint32_t sdkVersion) {
    record("Direct3DCreate9", {dec(sdkVersion)});
    if (!fake::current->direct3dAvailable) return nullptr;
    return new fake::FakeDirect3D();
}

int32_t D3DXCreateFontIndirect(Direct3DDevice9* device, const FontDescription* description,
                               D3DXFont** font) {
    record("D3DXCreateFontIndirect",
           {device != nullptr ? "device" : "null", out(description), out(font)});
    if (description != nullptr) fake::current->lastFontDescription = *description;
    const auto result = static_cast<int32_t>(scripted("D3DXCreateFontIndirect", 0));
    if (result == 0 && font != nullptr) *font = new fake::FakeFont();
    return result;
}

int32_t D3DXLoadMeshFromX(const char* fileName, uint32_t options, Direct3DDevice9* device,
                          D3DXBuffer** adjacency, D3DXBuffer** materials,
                          D3DXBuffer** effectInstances, uint32_t* materialCount, D3DXMesh** mesh) {
    record("D3DXLoadMeshFromX",
           {str(fileName), hex(options), device != nullptr ? "device" : "null", out(adjacency),
            out(materials), out(effectInstances), out(materialCount), out(mesh)});
    auto found = fake::current->meshFiles.find(str(fileName));
    if (found == fake::current->meshFiles.end()) return E_FAIL;
    const fake::MeshFile& file = found->second;
    if (file.result != 0) return file.result;
    if (materialCount != nullptr)
        *materialCount =
            file.reportedMaterialCount.value_or(static_cast<uint32_t>(file.materials.size()));
    if (materials != nullptr && file.hasMaterialBuffer)
        *materials = new fake::FakeBuffer(file.materials);
    if (mesh != nullptr && file.hasMesh) *mesh = new fake::FakeMesh();
    return 0;
}

int32_t D3DXCreateTextureFromFile(Direct3DDevice9* device, const char* fileName,
                                  Direct3DTexture9** texture) {
    record("D3DXCreateTextureFromFile",
           {device != nullptr ? "device" : "null", str(fileName), out(texture)});
    if (fileName == nullptr || fake::current->textureFiles.count(fileName) == 0)
        return D3DERR_INVALIDCALL;
    *texture = new fake::FakeTexture();
    return 0;
}

int32_t DirectInput8Create(InstanceHandle instance, uint32_t version, const Guid* interfaceId,
                           DirectInput8** object, void* outer) {
    char guid[64] = "null";
    if (interfaceId != nullptr)
        std::snprintf(guid, sizeof guid, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                      interfaceId->data1, interfaceId->data2, interfaceId->data3,
                      interfaceId->data4[0], interfaceId->data4[1], interfaceId->data4[2],
                      interfaceId->data4[3], interfaceId->data4[4], interfaceId->data4[5],
                      interfaceId->data4[6], interfaceId->data4[7]);
    record("DirectInput8Create",
           {handleName(instance), hex(version), guid, out(object), out(outer)});
    const auto result = static_cast<int32_t>(scripted("DirectInput8Create", 0));
    if (result == 0 && object != nullptr) *object = new fake::FakeDirectInput();
    return result;
}

}  // namespace platform
