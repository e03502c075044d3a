#include "platform/d3dx/xfile/x_mesh.h"

#include <cstring>

namespace xfile {

uint32_t Mesh::vertexStride() const {
    uint32_t stride = 12;
    if (fvf & kFvfNormal) stride += 12;
    if (fvf & kFvfDiffuse) stride += 4;
    if (fvf & kFvfTex1) stride += 8;
    return stride;
}

std::vector<uint8_t> Mesh::packedVertices() const {
    const uint32_t stride = vertexStride();
    std::vector<uint8_t> out(vertices.size() * stride);
    uint8_t* p = out.data();
    const auto put = [&p](const void* data, size_t size) {
        std::memcpy(p, data, size);
        p += size;
    };
    for (const Vertex& vertex : vertices) {
        put(&vertex.position, 12);
        if (fvf & kFvfNormal) put(&vertex.normal, 12);
        if (fvf & kFvfDiffuse) put(&vertex.diffuse, 4);
        if (fvf & kFvfTex1) {
            put(&vertex.u, 4);
            put(&vertex.v, 4);
        }
    }
    return out;
}

std::vector<uint16_t> Mesh::indices16() const {
    std::vector<uint16_t> out(indices.size());
    for (size_t i = 0; i < indices.size(); ++i) out[i] = static_cast<uint16_t>(indices[i]);
    return out;
}

}  // namespace xfile
