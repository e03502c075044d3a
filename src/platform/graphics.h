// The graphics operations the program calls: COM start and end, the Direct3D
// object and device, the mesh, texture and font library, and DirectInput.
// Objects are reference-counted interfaces of our own; each Release gives up
// the one reference its holder owns. A backend implements them (win32/ on
// Windows; the tests link a recording fake). Results are 0 on success.
#pragma once

#include <cstdint>

#include "platform/graphics_types.h"
#include "platform/types.h"

namespace platform {

class Unknown {
public:
    virtual uint32_t Release() = 0;

protected:
    ~Unknown() = default;
};

class Direct3DTexture9 : public Unknown {
protected:
    ~Direct3DTexture9() = default;
};

class Direct3DDevice9 : public Unknown {
public:
    virtual int32_t TestCooperativeLevel() = 0;
    virtual int32_t Reset(PresentParameters* parameters) = 0;
    virtual int32_t BeginScene() = 0;
    virtual int32_t Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t colour,
                          float z, uint32_t stencil) = 0;
    virtual int32_t EndScene() = 0;
    // All four arguments null: the whole back buffer onto the device window.
    virtual int32_t Present(const Rect* source, const Rect* destination, WindowHandle window,
                            const void* dirtyRegion) = 0;
    virtual int32_t SetLight(uint32_t index, const Light* light) = 0;
    virtual int32_t LightEnable(uint32_t index, int32_t enable) = 0;
    virtual int32_t SetRenderState(uint32_t state, uint32_t value) = 0;
    virtual int32_t SetTransform(uint32_t state, const Matrix* matrix) = 0;
    virtual int32_t SetMaterial(const Material* material) = 0;
    virtual int32_t SetTexture(uint32_t stage, Direct3DTexture9* texture) = 0;
    virtual int32_t SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) = 0;
    virtual int32_t SetFVF(uint32_t fvf) = 0;
    virtual int32_t DrawPrimitiveUP(uint32_t primitiveType, uint32_t primitiveCount,
                                    const void* vertices, uint32_t stride) = 0;

protected:
    ~Direct3DDevice9() = default;
};

class Direct3D9 : public Unknown {
public:
    virtual int32_t CreateDevice(uint32_t adapter, uint32_t deviceType, WindowHandle focusWindow,
                                 uint32_t behaviourFlags, PresentParameters* parameters,
                                 Direct3DDevice9** device) = 0;

protected:
    ~Direct3D9() = default;
};

class D3DXBuffer : public Unknown {
public:
    virtual void* GetBufferPointer() = 0;
    virtual uint32_t GetBufferSize() = 0;

protected:
    ~D3DXBuffer() = default;
};

class D3DXMesh : public Unknown {
public:
    virtual int32_t DrawSubset(uint32_t subset) = 0;

protected:
    ~D3DXMesh() = default;
};

class D3DXFont : public Unknown {
public:
    // `sprite` is always null here; `count` -1 means a NUL-terminated text.
    virtual int32_t DrawTextA(void* sprite, const char* text, int32_t count, Rect* rect,
                              uint32_t format, uint32_t colour) = 0;
    virtual int32_t OnLostDevice() = 0;
    virtual int32_t OnResetDevice() = 0;

protected:
    ~D3DXFont() = default;
};

class DirectInput8 : public Unknown {
protected:
    ~DirectInput8() = default;
};

int32_t CoInitialize(void* reserved);
void CoUninitialize();

// Null when no Direct3D object can be had.
Direct3D9* Direct3DCreate9(uint32_t sdkVersion);

int32_t D3DXCreateFontIndirect(Direct3DDevice9* device, const FontDescription* description,
                               D3DXFont** font);

// The material buffer holds `*materialCount` MeshMaterial entries.
int32_t D3DXLoadMeshFromX(const char* fileName, uint32_t options, Direct3DDevice9* device,
                          D3DXBuffer** adjacency, D3DXBuffer** materials,
                          D3DXBuffer** effectInstances, uint32_t* materialCount, D3DXMesh** mesh);

int32_t D3DXCreateTextureFromFile(Direct3DDevice9* device, const char* fileName,
                                  Direct3DTexture9** texture);

int32_t DirectInput8Create(InstanceHandle instance, uint32_t version, const Guid* interfaceId,
                           DirectInput8** object, void* outer);

}  // namespace platform
