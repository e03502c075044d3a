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

    // Fills this fresh model from a .x file and the textures it names. A file
    // that cannot be loaded, or that gives no mesh or no material buffer,
    // leaves the model empty: no mesh, no materials.
    void load(const char* fileName);
    // Gives up the textures, the materials and the mesh, in that order. A
    // second call finds nothing left.
    void release();
    // Sets the world transform, then draws every subset with its material.
    // An empty model sets the world transform only.
    void draw(const platform::Vector3& position, const platform::Vector3& rotation);

    platform::Ref<platform::D3DXMesh> mesh;
    std::vector<platform::Material> materials;
    std::vector<platform::Ref<platform::Direct3DTexture9>> textures;
    uint32_t materialCount = 0;
};

// The world matrix of a model: turned about z, then x, then y, then moved by
// the position (and scaled by 1).
platform::Matrix modelWorldMatrix(const platform::Vector3& position,
                                  const platform::Vector3& rotation);
