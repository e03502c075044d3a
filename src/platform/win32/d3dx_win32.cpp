// The D3DX 9 library: the status font, meshes with their material buffers,
// and textures read from image files.
#include <cstddef>
#include <cstring>

#include "platform/graphics.h"
#include "platform/win32/com_objects_win32.h"
#include "platform/win32/native_win32.h"
#include "platform/win32/records_win32.h"

namespace platform {

// A material buffer is handed to the caller as it stands: its entries are
// read as our MeshMaterial records.
static_assert(sizeof(Material) == sizeof(D3DMATERIAL9));
static_assert(sizeof(MeshMaterial) == sizeof(D3DXMATERIAL));
static_assert(offsetof(MeshMaterial, material) == offsetof(D3DXMATERIAL, MatD3D));
static_assert(offsetof(MeshMaterial, textureFilename) == offsetof(D3DXMATERIAL, pTextureFilename));
static_assert(offsetof(Material, diffuse) == offsetof(D3DMATERIAL9, Diffuse));
static_assert(offsetof(Material, ambient) == offsetof(D3DMATERIAL9, Ambient));
static_assert(offsetof(Material, specular) == offsetof(D3DMATERIAL9, Specular));
static_assert(offsetof(Material, emissive) == offsetof(D3DMATERIAL9, Emissive));
static_assert(offsetof(Material, power) == offsetof(D3DMATERIAL9, Power));

namespace {

class BufferObject final : public win32::ComObject<D3DXBuffer, ID3DXBuffer> {
public:
    using ComObject::ComObject;
    void* GetBufferPointer() override { return native()->GetBufferPointer(); }
    uint32_t GetBufferSize() override { return native()->GetBufferSize(); }
};

class MeshObject final : public win32::ComObject<D3DXMesh, ID3DXMesh> {
public:
    using ComObject::ComObject;
    int32_t DrawSubset(uint32_t subset) override { return native()->DrawSubset(subset); }
};

class FontObject final : public win32::ComObject<D3DXFont, ID3DXFont> {
public:
    using ComObject::ComObject;

    int32_t DrawTextA(void* sprite, const char* text, int32_t count, Rect* rect, uint32_t format,
                      uint32_t colour) override {
        RECT record{};
        if (rect != nullptr) record = win32::native(*rect);
        const INT result = native()->DrawTextA(static_cast<ID3DXSprite*>(sprite), text, count,
                                               rect != nullptr ? &record : nullptr, format, colour);
        // DT_CALCRECT hands the measured rectangle back.
        if (rect != nullptr) *rect = win32::portable(record);
        return result;
    }

    int32_t OnLostDevice() override { return native()->OnLostDevice(); }
    int32_t OnResetDevice() override { return native()->OnResetDevice(); }
};

}  // namespace

int32_t D3DXCreateFontIndirect(Direct3DDevice9* device, const FontDescription* description,
                               D3DXFont** font) {
    D3DXFONT_DESCA record{};
    if (description != nullptr) {
        record.Height = description->height;
        record.Width = description->width;
        record.Weight = description->weight;
        record.MipLevels = description->mipLevels;
        record.Italic = description->italic;
        record.CharSet = description->charSet;
        record.OutputPrecision = description->outputPrecision;
        record.Quality = description->quality;
        record.PitchAndFamily = description->pitchAndFamily;
        static_assert(sizeof record.FaceName == sizeof description->faceName);
        std::memcpy(record.FaceName, description->faceName, sizeof record.FaceName);
        record.FaceName[sizeof record.FaceName - 1] = '\0';
    }
    ID3DXFont* created = nullptr;
    const HRESULT result = ::D3DXCreateFontIndirectA(win32::nativeDevice(device),
                                                     description != nullptr ? &record : nullptr,
                                                     font != nullptr ? &created : nullptr);
    if (font != nullptr) *font = win32::wrap<FontObject>(created);
    return result;
}

int32_t D3DXLoadMeshFromX(const char* fileName, uint32_t options, Direct3DDevice9* device,
                          D3DXBuffer** adjacency, D3DXBuffer** materials,
                          D3DXBuffer** effectInstances, uint32_t* materialCount, D3DXMesh** mesh) {
    ID3DXBuffer* adjacencyBuffer = nullptr;
    ID3DXBuffer* materialBuffer = nullptr;
    ID3DXBuffer* effectBuffer = nullptr;
    ID3DXMesh* loaded = nullptr;
    DWORD count = materialCount != nullptr ? *materialCount : 0;
    const HRESULT result = ::D3DXLoadMeshFromXA(
        fileName, options, win32::nativeDevice(device),
        adjacency != nullptr ? &adjacencyBuffer : nullptr,
        materials != nullptr ? &materialBuffer : nullptr,
        effectInstances != nullptr ? &effectBuffer : nullptr,
        materialCount != nullptr ? &count : nullptr, mesh != nullptr ? &loaded : nullptr);
    if (adjacency != nullptr) *adjacency = win32::wrap<BufferObject>(adjacencyBuffer);
    if (materials != nullptr) *materials = win32::wrap<BufferObject>(materialBuffer);
    if (effectInstances != nullptr) *effectInstances = win32::wrap<BufferObject>(effectBuffer);
    if (materialCount != nullptr) *materialCount = count;
    if (mesh != nullptr) *mesh = win32::wrap<MeshObject>(loaded);
    return result;
}

int32_t D3DXCreateTextureFromFile(Direct3DDevice9* device, const char* fileName,
                                  Direct3DTexture9** texture) {
    IDirect3DTexture9* created = nullptr;
    const HRESULT result = ::D3DXCreateTextureFromFileA(win32::nativeDevice(device), fileName,
                                                        texture != nullptr ? &created : nullptr);
    if (texture != nullptr) *texture = win32::wrap<win32::TextureObject>(created);
    return result;
}

}  // namespace platform
