// The model file as both backends' D3DXLoadMeshFromX read it: parsed by our
// .x reader, and kept parsed for as long as the file's stamp shows it
// unchanged (and had done so for a while when it was read,
// settled_file_cache.h). The program loads the same model on every frame,
// and a look at the stamp costs a fraction of opening, reading and parsing.
#pragma once

#include <memory>

#include "platform/d3dx/xfile/x_mesh.h"

namespace d3dx {

// The file's mesh, kept or read now; null when it cannot be read. Without a
// stamp the file is read, and nothing is kept.
std::shared_ptr<const xfile::Mesh> readMeshFileKept(const char* fileName);

}  // namespace d3dx
