// COM, the Direct3D 9 object and the rendering device.
#include <cstring>
#include <utility>
#include <vector>

#include "platform/graphics.h"
#include "platform/win32/com_objects_win32.h"
#include "platform/win32/native_win32.h"
#include "platform/win32/records_win32.h"

namespace platform {

namespace {

static_assert(sizeof(Matrix) == sizeof(D3DMATRIX));
static_assert(sizeof(Material) == sizeof(D3DMATERIAL9));

D3DPRESENT_PARAMETERS toD3D(const PresentParameters& from) {
    D3DPRESENT_PARAMETERS to{};
    to.BackBufferWidth = from.backBufferWidth;
    to.BackBufferHeight = from.backBufferHeight;
    to.BackBufferFormat = static_cast<D3DFORMAT>(from.backBufferFormat);
    to.BackBufferCount = from.backBufferCount;
    to.MultiSampleType = static_cast<D3DMULTISAMPLE_TYPE>(from.multiSampleType);
    to.MultiSampleQuality = from.multiSampleQuality;
    to.SwapEffect = static_cast<D3DSWAPEFFECT>(from.swapEffect);
    to.hDeviceWindow = win32::native(from.deviceWindow);
    to.Windowed = from.windowed;
    to.EnableAutoDepthStencil = from.enableAutoDepthStencil;
    to.AutoDepthStencilFormat = static_cast<D3DFORMAT>(from.autoDepthStencilFormat);
    to.Flags = from.flags;
    to.FullScreen_RefreshRateInHz = from.fullScreenRefreshRate;
    to.PresentationInterval = from.presentationInterval;
    return to;
}

// Direct3D may fill in members it was left to choose; the caller sees them.
PresentParameters fromD3D(const D3DPRESENT_PARAMETERS& from) {
    PresentParameters to;
    to.backBufferWidth = from.BackBufferWidth;
    to.backBufferHeight = from.BackBufferHeight;
    to.backBufferFormat = static_cast<uint32_t>(from.BackBufferFormat);
    to.backBufferCount = from.BackBufferCount;
    to.multiSampleType = static_cast<uint32_t>(from.MultiSampleType);
    to.multiSampleQuality = from.MultiSampleQuality;
    to.swapEffect = static_cast<uint32_t>(from.SwapEffect);
    to.deviceWindow = win32::portable(from.hDeviceWindow);
    to.windowed = from.Windowed;
    to.enableAutoDepthStencil = from.EnableAutoDepthStencil;
    to.autoDepthStencilFormat = static_cast<uint32_t>(from.AutoDepthStencilFormat);
    to.flags = from.Flags;
    to.fullScreenRefreshRate = from.FullScreen_RefreshRateInHz;
    to.presentationInterval = from.PresentationInterval;
    return to;
}

D3DCOLORVALUE toD3D(const ColourValue& colour) {
    return D3DCOLORVALUE{colour.r, colour.g, colour.b, colour.a};
}

D3DVECTOR toD3D(const Vector3& vector) { return D3DVECTOR{vector.x, vector.y, vector.z}; }

D3DLIGHT9 toD3D(const Light& from) {
    D3DLIGHT9 to{};
    to.Type = static_cast<D3DLIGHTTYPE>(from.type);
    to.Diffuse = toD3D(from.diffuse);
    to.Specular = toD3D(from.specular);
    to.Ambient = toD3D(from.ambient);
    to.Position = toD3D(from.position);
    to.Direction = toD3D(from.direction);
    to.Range = from.range;
    to.Falloff = from.falloff;
    to.Attenuation0 = from.attenuation0;
    to.Attenuation1 = from.attenuation1;
    to.Attenuation2 = from.attenuation2;
    to.Theta = from.theta;
    to.Phi = from.phi;
    return to;
}

D3DMATERIAL9 toD3D(const Material& from) {
    D3DMATERIAL9 to{};
    to.Diffuse = toD3D(from.diffuse);
    to.Ambient = toD3D(from.ambient);
    to.Specular = toD3D(from.specular);
    to.Emissive = toD3D(from.emissive);
    to.Power = from.power;
    return to;
}

D3DMATRIX toD3D(const Matrix& from) {
    D3DMATRIX to{};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) to.m[row][column] = from.m[row][column];
    return to;
}

// Like Direct3D's device, it holds a reference to each texture bound to it,
// so that what a texture object stands for stays while it is bound, even
// after the program has given it up (our texture cache refills only textures
// that no object holds). A material or texture set again unchanged is not
// passed on: a model of many materials sets both for every subset, and
// through Wine each costs a command to the rendering thread. Only these
// calls set them on the native device (our D3DX font restores what it sets),
// and a reset sets them back to none.
class DeviceObject final : public win32::ComObject<Direct3DDevice9, IDirect3DDevice9> {
public:
    using ComObject::ComObject;

    int32_t TestCooperativeLevel() override { return native()->TestCooperativeLevel(); }

    int32_t Reset(PresentParameters* parameters) override {
        D3DPRESENT_PARAMETERS record{};
        if (parameters != nullptr) record = toD3D(*parameters);
        const HRESULT result = native()->Reset(parameters != nullptr ? &record : nullptr);
        if (parameters != nullptr) *parameters = fromD3D(record);
        if (SUCCEEDED(result)) unbindAll();  // a reset sets every texture stage to none
        materialSet_ = false;
        return result;
    }

    int32_t BeginScene() override { return native()->BeginScene(); }

    int32_t Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t colour, float z,
                  uint32_t stencil) override {
        std::vector<D3DRECT> records;
        if (rects != nullptr) {
            records.reserve(rectCount);
            for (uint32_t i = 0; i < rectCount; ++i)
                records.push_back(
                    D3DRECT{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom});
        }
        return native()->Clear(rectCount, rects != nullptr ? records.data() : nullptr, flags,
                               colour, z, stencil);
    }

    int32_t EndScene() override { return native()->EndScene(); }

    int32_t Present(const Rect* source, const Rect* destination, WindowHandle window,
                    const void* dirtyRegion) override {
        RECT sourceRecord{};
        RECT destinationRecord{};
        if (source != nullptr) sourceRecord = win32::native(*source);
        if (destination != nullptr) destinationRecord = win32::native(*destination);
        return native()->Present(source != nullptr ? &sourceRecord : nullptr,
                                 destination != nullptr ? &destinationRecord : nullptr,
                                 win32::native(window), static_cast<const RGNDATA*>(dirtyRegion));
    }

    int32_t SetLight(uint32_t index, const Light* light) override {
        if (light == nullptr) return native()->SetLight(index, nullptr);
        const D3DLIGHT9 record = toD3D(*light);
        return native()->SetLight(index, &record);
    }

    int32_t LightEnable(uint32_t index, int32_t enable) override {
        return native()->LightEnable(index, enable);
    }

    int32_t SetRenderState(uint32_t state, uint32_t value) override {
        return native()->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), value);
    }

    int32_t SetTransform(uint32_t state, const Matrix* matrix) override {
        if (matrix == nullptr)
            return native()->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(state), nullptr);
        const D3DMATRIX record = toD3D(*matrix);
        return native()->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(state), &record);
    }

    int32_t SetMaterial(const Material* material) override {
        if (material == nullptr) return native()->SetMaterial(nullptr);
        const D3DMATERIAL9 record = toD3D(*material);
        if (materialSet_ && std::memcmp(&record, &material_, sizeof record) == 0) return D3D_OK;
        const HRESULT result = native()->SetMaterial(&record);
        materialSet_ = SUCCEEDED(result);
        material_ = record;
        return result;
    }

    // Textures of one picture are objects of their own over one native
    // texture: the native one decides whether anything changes.
    int32_t SetTexture(uint32_t stage, Direct3DTexture9* texture) override {
        const bool same = stage < kHeldStages &&
                          win32::nativeTexture(texture) == win32::nativeTexture(bound_[stage]);
        const HRESULT result =
            same ? D3D_OK : native()->SetTexture(stage, win32::nativeTexture(texture));
        if (SUCCEEDED(result) && stage < kHeldStages) {
            if (texture != nullptr) static_cast<win32::TextureObject*>(texture)->AddRef();
            if (bound_[stage] != nullptr) bound_[stage]->Release();
            bound_[stage] = texture;
        }
        return result;
    }

    int32_t SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) override {
        return native()->SetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type),
                                              value);
    }

    int32_t SetFVF(uint32_t fvf) override { return native()->SetFVF(fvf); }

    int32_t DrawPrimitiveUP(uint32_t primitiveType, uint32_t primitiveCount, const void* vertices,
                            uint32_t stride) override {
        return native()->DrawPrimitiveUP(static_cast<D3DPRIMITIVETYPE>(primitiveType),
                                         primitiveCount, vertices, stride);
    }

private:
    static constexpr uint32_t kHeldStages = 8;  // the fixed-function texture stages

    ~DeviceObject() override { unbindAll(); }

    void unbindAll() {
        for (Direct3DTexture9*& texture : bound_) {
            if (texture != nullptr) std::exchange(texture, nullptr)->Release();
        }
    }

    Direct3DTexture9* bound_[kHeldStages] = {};
    D3DMATERIAL9 material_{};
    bool materialSet_ = false;
};

class Direct3DObject final : public win32::ComObject<Direct3D9, IDirect3D9> {
public:
    using ComObject::ComObject;

    int32_t CreateDevice(uint32_t adapter, uint32_t deviceType, WindowHandle focusWindow,
                         uint32_t behaviourFlags, PresentParameters* parameters,
                         Direct3DDevice9** device) override {
        D3DPRESENT_PARAMETERS record{};
        if (parameters != nullptr) record = toD3D(*parameters);
        IDirect3DDevice9* created = nullptr;
        const HRESULT result = native()->CreateDevice(adapter, static_cast<D3DDEVTYPE>(deviceType),
                                                      win32::native(focusWindow), behaviourFlags,
                                                      parameters != nullptr ? &record : nullptr,
                                                      device != nullptr ? &created : nullptr);
        if (parameters != nullptr) *parameters = fromD3D(record);
        if (device != nullptr) *device = win32::wrap<DeviceObject>(created);
        return result;
    }
};

}  // namespace

IDirect3DDevice9* win32::nativeDevice(Direct3DDevice9* device) {
    return device != nullptr ? static_cast<DeviceObject*>(device)->native() : nullptr;
}

int32_t CoInitialize(void* reserved) { return ::CoInitialize(reserved); }

void CoUninitialize() { ::CoUninitialize(); }

Direct3D9* Direct3DCreate9(uint32_t sdkVersion) {
    return win32::wrap<Direct3DObject>(::Direct3DCreate9(sdkVersion));
}

}  // namespace platform
