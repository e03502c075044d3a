// libFuzzer target: the .x reader on any bytes. A mesh that comes back must
// hold together; anything else is a clean failure with a reason.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/d3dx/xfile/x_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    xfile::ReadLimits limits;
    limits.maxInflatedBytes = size_t{16} << 20;
    xfile::Mesh mesh;
    std::string error;
    if (xfile::readMesh({data, size}, mesh, error, limits)) {
        if (mesh.triangleCount() == 0 || mesh.subsets.size() != mesh.materials.size()) std::abort();
        for (const uint32_t index : mesh.indices) {
            if (index >= mesh.vertices.size()) std::abort();
        }
        uint32_t faces = 0;
        for (const xfile::Subset& subset : mesh.subsets) {
            if (subset.faceStart != faces) std::abort();
            faces += subset.faceCount;
        }
        if (faces != mesh.triangleCount()) std::abort();
        if (mesh.packedVertices().size() != mesh.vertices.size() * mesh.vertexStride())
            std::abort();
    } else if (error.empty() || !mesh.vertices.empty()) {
        std::abort();
    }
    return 0;
}
