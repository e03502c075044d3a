// The model file as both backends' D3DXLoadMeshFromX read it: parsed by our
// .x reader, and kept parsed for as long as the file's stamp shows it
// unchanged (and had done so for a while when it was read,
// unchanged_file_cache.h). The program loads the same model on every frame,
// and a look at the stamp costs a fraction of opening, reading and parsing.
#pragma once

#include <memory>

#include "platform/d3dx/xfile/x_mesh.h"
#include "platform/graphics.h"

namespace d3dx {

// D3DXLoadMeshFromX's out-parameters as they stand until a mesh is made:
// empty. Adjacency and effect instances are never asked for by the program.
inline void clearMeshOutputs(platform::D3DXBuffer** adjacency, platform::D3DXBuffer** materials,
                             platform::D3DXBuffer** effectInstances, uint32_t* materialCount,
                             platform::D3DXMesh** mesh) {
    if (adjacency != nullptr) *adjacency = nullptr;
    if (effectInstances != nullptr) *effectInstances = nullptr;
    if (materials != nullptr) *materials = nullptr;
    if (materialCount != nullptr) *materialCount = 0;
    if (mesh != nullptr) *mesh = nullptr;
}

// The file's mesh, kept or read now; null when it cannot be read. Without a
// stamp the file is read, and nothing is kept.
std::shared_ptr<const xfile::Mesh> readMeshFileKept(const char* fileName);

// How many models were loaded so far (calls of readMeshFileKept): the
// texture cache looks at each name once per model load (texture_cache.h).
uint64_t modelLoads();

}  // namespace d3dx
