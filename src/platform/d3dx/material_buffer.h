// The material buffer of a loaded mesh as both backends' D3DXLoadMeshFromX
// hand it out: one MeshMaterial entry per material, pointing into the texture
// names kept with them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3dx/xfile/x_mesh.h"
#include "platform/graphics.h"
#include "platform/graphics_types.h"
#include "platform/ref.h"

namespace d3dx {

class MaterialBuffer final : public platform::RefCounted<platform::D3DXBuffer> {
public:
    explicit MaterialBuffer(const std::vector<xfile::MeshMaterial>& materials)
        : entries_(materials.size()), names_(materials.size()) {
        for (size_t i = 0; i < materials.size(); ++i) {
            entries_[i].material = materials[i].material;
            if (materials[i].textureFilename) {
                // The name as the C string it becomes: cut at an embedded NUL.
                names_[i] = materials[i].textureFilename->c_str();
                entries_[i].textureFilename = names_[i].data();
            }
        }
    }

    void* GetBufferPointer() override { return entries_.data(); }
    uint32_t GetBufferSize() override {
        return static_cast<uint32_t>(entries_.size() * sizeof(platform::MeshMaterial));
    }

private:
    std::vector<platform::MeshMaterial> entries_;
    std::vector<std::string> names_;  // never resized: the entries point into them
};

}  // namespace d3dx
