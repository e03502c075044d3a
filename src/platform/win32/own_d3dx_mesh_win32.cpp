// D3DXLoadMeshFromX on our own .x reader (platform/xfile): the mesh lives in
// system memory in the vertex format the file calls for, and DrawSubset hands
// one subset's triangles to the device from user memory.
// The file is read, and kept parsed, by d3dx/mesh_file.h; the meshes of one
// parse share its vertices and indices.
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/d3dx/material_buffer.h"
#include "platform/d3dx/mesh_file.h"
#include "platform/graphics.h"
#include "platform/ref.h"
#include "platform/win32/com_objects_win32.h"
#include "platform/win32/native_win32.h"

namespace platform {

static_assert(sizeof(Material) == sizeof(D3DMATERIAL9));
static_assert(sizeof(MeshMaterial) == sizeof(D3DXMATERIAL));
static_assert(offsetof(MeshMaterial, textureFilename) == offsetof(D3DXMATERIAL, pTextureFilename));

namespace {

// A parse's vertices and indices in the layout the device reads, made once
// per parse: the program loads the same model on every frame.
struct PackedMesh {
    std::shared_ptr<const xfile::Mesh> mesh;
    std::vector<uint8_t> vertices;
    std::vector<uint16_t> indices16;  // when the indices fit; else the mesh's own
};

std::shared_ptr<const PackedMesh> packedOf(std::shared_ptr<const xfile::Mesh> mesh) {
    static std::shared_ptr<const PackedMesh> last;
    if (last && last->mesh == mesh) return last;
    auto packed = std::make_shared<PackedMesh>();
    packed->vertices = mesh->packedVertices();
    if (!mesh->needs32BitIndices()) packed->indices16 = mesh->indices16();
    packed->mesh = std::move(mesh);
    last = packed;
    return last;
}

class OwnMesh final : public RefCounted<D3DXMesh> {
public:
    OwnMesh(IDirect3DDevice9* device, std::shared_ptr<const xfile::Mesh> mesh)
        : device_(device),
          fvf_(mesh->fvf),
          stride_(mesh->vertexStride()),
          wideIndices_(mesh->needs32BitIndices()),
          packed_(packedOf(std::move(mesh))) {
        device_->AddRef();
    }

    int32_t DrawSubset(uint32_t subset) override {
        const std::vector<xfile::Subset>& subsets = packed_->mesh->subsets;
        if (subset >= subsets.size()) return D3DERR_INVALIDCALL;
        const xfile::Subset& range = subsets[subset];
        if (range.faceCount == 0) return D3D_OK;
        device_->SetFVF(fvf_);
        const void* indices =
            wideIndices_
                ? static_cast<const void*>(packed_->mesh->indices.data() + range.faceStart * 3)
                : static_cast<const void*>(packed_->indices16.data() + range.faceStart * 3);
        return device_->DrawIndexedPrimitiveUP(
            D3DPT_TRIANGLELIST, range.vertexStart, range.vertexCount, range.faceCount, indices,
            wideIndices_ ? D3DFMT_INDEX32 : D3DFMT_INDEX16, packed_->vertices.data(), stride_);
    }

private:
    ~OwnMesh() override { device_->Release(); }

    IDirect3DDevice9* device_;
    DWORD fvf_;
    UINT stride_;
    bool wideIndices_;
    std::shared_ptr<const PackedMesh> packed_;
};

}  // namespace

int32_t D3DXLoadMeshFromX(const char* fileName, uint32_t /*options*/, Direct3DDevice9* device,
                          D3DXBuffer** adjacency, D3DXBuffer** materials,
                          D3DXBuffer** effectInstances, uint32_t* materialCount, D3DXMesh** mesh) {
    d3dx::clearMeshOutputs(adjacency, materials, effectInstances, materialCount, mesh);
    IDirect3DDevice9* native = win32::nativeDevice(device);
    if (fileName == nullptr || native == nullptr || mesh == nullptr) return D3DERR_INVALIDCALL;

    std::shared_ptr<const xfile::Mesh> loaded = d3dx::readMeshFileKept(fileName);
    if (loaded == nullptr) return D3DXERR_INVALIDDATA;
    if (materials != nullptr) *materials = new d3dx::MaterialBuffer(loaded->materials);
    if (materialCount != nullptr) *materialCount = static_cast<uint32_t>(loaded->materials.size());
    *mesh = new OwnMesh(native, std::move(loaded));
    return D3D_OK;
}

}  // namespace platform
