#include "render/model_mesh.h"

#include <algorithm>

#include "controls/viewer_state.h"
#include "measure/frame_timing.h"
#include "platform/matrix.h"
#include "platform/windows_values.h"

ModelMesh::~ModelMesh() { release(); }

void ModelMesh::load(const char* fileName) {
    release();
    platform::Direct3DDevice9* device = viewerState().device.get();

    platform::Ref<platform::D3DXBuffer> materialBuffer;
    uint32_t loadedCount = 0;
    const int32_t result = frame_timing::timed(frame_timing::Phase::meshLoad, [&] {
        return platform::D3DXLoadMeshFromX(fileName, platform::D3DXMESH_SYSTEMMEM, device, nullptr,
                                           materialBuffer.put(), nullptr, &loadedCount, mesh.put());
    });
    const void* entries = materialBuffer ? materialBuffer->GetBufferPointer() : nullptr;
    if (result != 0 || !mesh || entries == nullptr) {
        // Nothing usable: go on with an empty model. Whatever did come back is
        // given up here (the buffer when it leaves scope).
        mesh.reset();
        return;
    }

    // Never read past the buffer, whatever count came with it.
    const uint32_t entriesInBuffer =
        static_cast<uint32_t>(materialBuffer->GetBufferSize() / sizeof(platform::MeshMaterial));
    materialCount = std::min(loadedCount, entriesInBuffer);
    materials.resize(materialCount);
    textures.resize(materialCount);

    const auto* entry = static_cast<const platform::MeshMaterial*>(entries);
    for (uint32_t i = 0; i < materialCount; ++i) {
        materials[i] = entry[i].material;
        materials[i].ambient = materials[i].diffuse;
        // Each material gets its own texture, even when several name one file.
        const char* textureName = entry[i].textureFilename;
        if (textureName == nullptr || textureName[0] == '\0') continue;
        const int32_t loaded = frame_timing::timed(frame_timing::Phase::textureLoad, [&] {
            return platform::D3DXCreateTextureFromFile(device, textureName, textures[i].put());
        });
        if (loaded != 0) textures[i].reset();
    }
}

void ModelMesh::release() {
    for (auto& texture : textures) texture.reset();
    textures.clear();
    materials.clear();
    materialCount = 0;
    mesh.reset();
}

platform::Matrix modelWorldMatrix(const platform::Vector3& position,
                                  const platform::Vector3& rotation) {
    platform::Matrix rotationZ{};
    platform::Matrix rotationX{};
    platform::Matrix rotationY{};
    platform::Matrix translation{};
    platform::Matrix scaling{};
    platform::D3DXMatrixRotationZ(&rotationZ, rotation.z);
    platform::D3DXMatrixRotationX(&rotationX, rotation.x);
    platform::D3DXMatrixRotationY(&rotationY, rotation.y);
    platform::D3DXMatrixTranslation(&translation, position.x, position.y, position.z);
    platform::D3DXMatrixScaling(&scaling, 1.0f, 1.0f, 1.0f);

    platform::Matrix world{};
    platform::D3DXMatrixMultiply(&world, &rotationZ, &rotationX);
    platform::D3DXMatrixMultiply(&world, &world, &rotationY);
    platform::D3DXMatrixMultiply(&world, &world, &translation);
    platform::D3DXMatrixMultiply(&world, &world, &scaling);
    return world;
}

void ModelMesh::draw(const platform::Vector3& position, const platform::Vector3& rotation) {
    platform::Direct3DDevice9* device = viewerState().device.get();
    if (device == nullptr) return;
    const platform::Matrix world = modelWorldMatrix(position, rotation);
    device->SetTransform(platform::D3DTS_WORLD, &world);
    if (!mesh) return;
    for (uint32_t i = 0; i < materialCount; ++i) {
        device->SetMaterial(&materials[i]);
        device->SetTexture(0, textures[i].get());
        mesh->DrawSubset(i);
    }
}
