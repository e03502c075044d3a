// Helpers for the tests of the .x reader: files of the corpus, text snippets,
// and a small writer of binary token streams.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/d3dx/xfile/x_reader.h"

namespace xtest {

inline std::filesystem::path dataDir() {
    return std::filesystem::path(__FILE__).parent_path() / "data";
}

inline std::vector<uint8_t> fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<uint8_t> corpusFile(const std::string& name) {
    return fileBytes(dataDir() / "x" / name);
}

inline std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// Reads a text body given without its header.
inline bool readText(const std::string& body, xfile::Mesh& mesh, std::string& error) {
    return xfile::readMesh(bytesOf("xof 0303txt 0032\n" + body), mesh, error);
}

inline xfile::Mesh readTextOk(const std::string& body) {
    xfile::Mesh mesh;
    std::string error;
    EXPECT_TRUE(readText(body, mesh, error)) << error;
    return mesh;
}

inline std::string readTextError(const std::string& body) {
    xfile::Mesh mesh;
    std::string error;
    EXPECT_FALSE(readText(body, mesh, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(mesh.vertices.empty());
    return error;
}

// Binary token streams, built token by token.
class Binary {
public:
    explicit Binary(const char* header = "xof 0303bin 0032") { raw(header, 16); }

    Binary& token(uint16_t code) {
        u16(code);
        return *this;
    }
    Binary& name(const std::string& text) {
        u16(1);
        u32(static_cast<uint32_t>(text.size()));
        raw(text.data(), text.size());
        return *this;
    }
    Binary& string(const std::string& text) {
        u16(2);
        u32(static_cast<uint32_t>(text.size()));
        raw(text.data(), text.size());
        return token(20);
    }
    Binary& integers(const std::vector<uint32_t>& values) {
        u16(6);
        u32(static_cast<uint32_t>(values.size()));
        for (const uint32_t v : values) u32(v);
        return *this;
    }
    Binary& floats(const std::vector<float>& values) {
        u16(7);
        u32(static_cast<uint32_t>(values.size()));
        for (const float v : values) {
            uint32_t bits;
            std::memcpy(&bits, &v, 4);
            u32(bits);
        }
        return *this;
    }
    Binary& open() { return token(10); }
    Binary& close() { return token(11); }
    Binary& u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    Binary& u16(uint16_t v) {
        bytes_.push_back(static_cast<uint8_t>(v));
        bytes_.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    Binary& raw(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
        return *this;
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// One triangle list entry per subset, as sorted position triples, so that two
// meshes can be compared whatever order their vertices come in.
struct Corner {
    float x, y, z, nx, ny, nz, u, v;
    uint32_t diffuse;
    friend auto operator<=>(const Corner&, const Corner&) = default;
};

inline std::vector<std::vector<std::vector<Corner>>> trianglesBySubset(const xfile::Mesh& mesh) {
    std::vector<std::vector<std::vector<Corner>>> out;
    for (const xfile::Subset& subset : mesh.subsets) {
        std::vector<std::vector<Corner>> triangles;
        for (uint32_t t = subset.faceStart; t < subset.faceStart + subset.faceCount; ++t) {
            std::vector<Corner> triangle;
            for (int k = 0; k < 3; ++k) {
                const xfile::Vertex& v = mesh.vertices[mesh.indices[t * 3 + k]];
                triangle.push_back({v.position.x, v.position.y, v.position.z, v.normal.x,
                                    v.normal.y, v.normal.z, v.u, v.v, v.diffuse});
            }
            // Keep the winding: rotate the smallest corner to the front.
            std::rotate(triangle.begin(), std::min_element(triangle.begin(), triangle.end()),
                        triangle.end());
            triangles.push_back(triangle);
        }
        std::sort(triangles.begin(), triangles.end());
        out.push_back(triangles);
    }
    return out;
}

}  // namespace xtest
