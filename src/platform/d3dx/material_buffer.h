// The material buffer of a loaded mesh as both backends' D3DXLoadMeshFromX
// hand it out: one MeshMaterial entry per material, pointing into the texture
// names kept with them.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/d3dx/xfile/x_mesh.h"
#include "platform/graphics.h"
#include "platform/graphics_types.h"
#include "platform/ref.h"

namespace d3dx {

class MaterialBuffer final : public platform::RefCounted<platform::D3DXBuffer> {
public:
    explicit MaterialBuffer(const std::vector<xfile::MeshMaterial>& materials)
        : entries_(materials.size()) {
        // The names as the C strings they become (cut at an embedded NUL),
        // one after another in one block: a model of thousands of materials
        // is loaded every frame.
        size_t total = 0;
        for (const xfile::MeshMaterial& material : materials) {
            if (material.textureFilename)
                total += std::strlen(material.textureFilename->c_str()) + 1;
        }
        names_.resize(total);
        char* next = names_.data();
        for (size_t i = 0; i < materials.size(); ++i) {
            entries_[i].material = materials[i].material;
            if (!materials[i].textureFilename) continue;
            const char* name = materials[i].textureFilename->c_str();
            const size_t size = std::strlen(name) + 1;
            std::memcpy(next, name, size);
            entries_[i].textureFilename = next;
            next += size;
        }
    }

    void* GetBufferPointer() override { return entries_.data(); }
    uint32_t GetBufferSize() override {
        return static_cast<uint32_t>(entries_.size() * sizeof(platform::MeshMaterial));
    }

private:
    std::vector<platform::MeshMaterial> entries_;
    std::vector<char> names_;  // never resized: the entries point into it
};

}  // namespace d3dx
