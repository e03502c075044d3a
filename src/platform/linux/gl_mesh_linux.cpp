// D3DXLoadMeshFromX on our own .x reader: the mesh is the parse that
// d3dx/mesh_file.h keeps while the file is unchanged, shared rather than
// copied, and DrawSubset hands one subset's triangles to the device straight
// from its vertex and index arrays. Loading the same model every frame thus
// costs a look at the file's stamp and two small objects.
#include <cstddef>
#include <memory>
#include <vector>

#include "platform/d3dx/material_buffer.h"
#include "platform/d3dx/mesh_file.h"
#include "platform/graphics.h"
#include "platform/linux/gl_device_linux.h"
#include "platform/linux/gl_objects_linux.h"
#include "platform/ref.h"

namespace platform {
namespace {

// Where the parts the file's vertex format names lie in xfile::Vertex.
gl::VertexFormat formatOf(uint32_t fvf) {
    gl::VertexFormat format;
    format.stride = sizeof(xfile::Vertex);
    if (fvf & xfile::kFvfNormal) format.normal = offsetof(xfile::Vertex, normal);
    if (fvf & xfile::kFvfDiffuse) format.diffuse = offsetof(xfile::Vertex, diffuse);
    if (fvf & xfile::kFvfTex1) format.texCoord = offsetof(xfile::Vertex, u);
    return format;
}

class Mesh final : public RefCounted<D3DXMesh> {
public:
    Mesh(gl::Device& device, std::shared_ptr<const xfile::Mesh> mesh)
        : device_(device), mesh_(std::move(mesh)), format_(formatOf(mesh_->fvf)) {
        device_.AddRef();
    }

    int32_t DrawSubset(uint32_t subset) override {
        if (subset >= mesh_->subsets.size()) return gl::kInvalidCall;
        const xfile::Subset& range = mesh_->subsets[subset];
        if (range.faceCount == 0 || range.vertexCount == 0) return gl::kOk;
        const auto* vertices = reinterpret_cast<const uint8_t*>(mesh_->vertices.data());
        device_.drawIndexed({format_, vertices, 0}, D3DPT_TRIANGLELIST,
                            mesh_->indices.data() + size_t{range.faceStart} * 3,
                            range.faceCount * 3, range.vertexStart,
                            range.vertexStart + range.vertexCount - 1);
        return gl::kOk;
    }

private:
    ~Mesh() override { device_.Release(); }

    gl::Device& device_;
    std::shared_ptr<const xfile::Mesh> mesh_;
    gl::VertexFormat format_;
};

}  // namespace

int32_t D3DXLoadMeshFromX(const char* fileName, uint32_t /*options*/, Direct3DDevice9* device,
                          D3DXBuffer** adjacency, D3DXBuffer** materials,
                          D3DXBuffer** effectInstances, uint32_t* materialCount, D3DXMesh** mesh) {
    d3dx::clearMeshOutputs(adjacency, materials, effectInstances, materialCount, mesh);
    if (fileName == nullptr || device == nullptr || mesh == nullptr) return gl::kInvalidCall;

    std::shared_ptr<const xfile::Mesh> loaded = d3dx::readMeshFileKept(fileName);
    if (loaded == nullptr) return gl::kInvalidData;
    if (materials != nullptr) *materials = new d3dx::MaterialBuffer(loaded->materials);
    if (materialCount != nullptr) *materialCount = static_cast<uint32_t>(loaded->materials.size());
    *mesh = new Mesh(static_cast<gl::Device&>(*device), std::move(loaded));
    return gl::kOk;
}

}  // namespace platform
