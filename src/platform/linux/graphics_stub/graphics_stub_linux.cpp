// A stand-in for the graphics side (graphics.h) that draws nothing and
// succeeds, so that the window side runs without OpenGL: a Direct3D object
// and device, a font, meshes without materials, textures, DirectInput.
// Built instead of gl_*.cpp with -DT462_LINUX_GRAPHICS=OFF.
#include "platform/graphics.h"

namespace platform {
namespace {

// Reference counting as COM objects have it; the last Release frees.
template <class Interface>
class Counted : public Interface {
public:
    uint32_t Release() override {
        const uint32_t left = --references_;
        if (left == 0) delete this;
        return left;
    }

protected:
    virtual ~Counted() = default;

private:
    uint32_t references_ = 1;
};

class StubTexture final : public Counted<Direct3DTexture9> {};
class StubDirectInput final : public Counted<DirectInput8> {};

class StubMesh final : public Counted<D3DXMesh> {
public:
    int32_t DrawSubset(uint32_t) override { return 0; }
};

class StubBuffer final : public Counted<D3DXBuffer> {
public:
    void* GetBufferPointer() override { return &empty_; }
    uint32_t GetBufferSize() override { return 0; }

private:
    MeshMaterial empty_{};
};

class StubFont final : public Counted<D3DXFont> {
public:
    explicit StubFont(int32_t height) : height_(height) {}
    int32_t DrawTextA(void*, const char*, int32_t, Rect*, uint32_t, uint32_t) override {
        return height_;
    }
    int32_t OnLostDevice() override { return 0; }
    int32_t OnResetDevice() override { return 0; }

private:
    int32_t height_;
};

class StubDevice final : public Counted<Direct3DDevice9> {
public:
    int32_t TestCooperativeLevel() override { return 0; }
    int32_t Reset(PresentParameters*) override { return 0; }
    int32_t BeginScene() override { return 0; }
    int32_t Clear(uint32_t, const Rect*, uint32_t, uint32_t, float, uint32_t) override { return 0; }
    int32_t EndScene() override { return 0; }
    int32_t Present(const Rect*, const Rect*, WindowHandle, const void*) override { return 0; }
    int32_t SetLight(uint32_t, const Light*) override { return 0; }
    int32_t LightEnable(uint32_t, int32_t) override { return 0; }
    int32_t SetRenderState(uint32_t, uint32_t) override { return 0; }
    int32_t SetTransform(uint32_t, const Matrix*) override { return 0; }
    int32_t SetMaterial(const Material*) override { return 0; }
    int32_t SetTexture(uint32_t, Direct3DTexture9*) override { return 0; }
    int32_t SetTextureStageState(uint32_t, uint32_t, uint32_t) override { return 0; }
    int32_t SetFVF(uint32_t) override { return 0; }
    int32_t DrawPrimitiveUP(uint32_t, uint32_t, const void*, uint32_t) override { return 0; }
};

class StubDirect3D final : public Counted<Direct3D9> {
public:
    int32_t CreateDevice(uint32_t, uint32_t, WindowHandle, uint32_t, PresentParameters*,
                         Direct3DDevice9** device) override {
        if (device == nullptr) return -1;
        *device = new StubDevice();
        return 0;
    }
};

constexpr int32_t kFailure = static_cast<int32_t>(0x80004005);  // E_FAIL

}  // namespace

int32_t CoInitialize(void*) { return 0; }
void CoUninitialize() {}

Direct3D9* Direct3DCreate9(uint32_t) { return new StubDirect3D(); }

int32_t D3DXCreateFontIndirect(Direct3DDevice9*, const FontDescription* description,
                               D3DXFont** font) {
    if (description == nullptr || font == nullptr) return kFailure;
    *font = new StubFont(description->height);
    return 0;
}

int32_t D3DXLoadMeshFromX(const char* fileName, uint32_t, Direct3DDevice9*, D3DXBuffer** adjacency,
                          D3DXBuffer** materials, D3DXBuffer** effectInstances,
                          uint32_t* materialCount, D3DXMesh** mesh) {
    if (fileName == nullptr || mesh == nullptr) return kFailure;
    if (adjacency != nullptr) *adjacency = new StubBuffer();
    if (materials != nullptr) *materials = new StubBuffer();
    if (effectInstances != nullptr) *effectInstances = new StubBuffer();
    if (materialCount != nullptr) *materialCount = 0;
    *mesh = new StubMesh();
    return 0;
}

int32_t D3DXCreateTextureFromFile(Direct3DDevice9*, const char* fileName,
                                  Direct3DTexture9** texture) {
    if (fileName == nullptr || texture == nullptr) return kFailure;
    *texture = new StubTexture();
    return 0;
}

int32_t DirectInput8Create(InstanceHandle, uint32_t, const Guid*, DirectInput8** object, void*) {
    if (object == nullptr) return kFailure;
    *object = new StubDirectInput();
    return 0;
}

}  // namespace platform
