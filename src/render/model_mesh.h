// One loaded model: its mesh, its materials and one texture per material.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/graphics.h"
#include "platform/ref.h"

class ModelMesh {
public:
    ModelMesh() = default;  // empty: draws nothing, releases nothing
    ~ModelMesh();
    ModelMesh(const ModelMesh&) = delete;
    ModelMesh& operator=(const ModelMesh&) = delete;

    // Fills this fresh model from a .x file and the textures it names.
    void load(const char* fileName);
    // Gives up the textures, the materials and the mesh.
    void release();
    // Sets the world transform, then draws every subset with its material.
    void draw(const platform::Vector3& position, const platform::Vector3& rotation);

    platform::Ref<platform::D3DXMesh> mesh;
    std::vector<platform::Material> materials;
    std::vector<platform::Ref<platform::Direct3DTexture9>> textures;
    uint32_t materialCount = 0;
};
