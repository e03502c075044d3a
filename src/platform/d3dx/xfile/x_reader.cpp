#include "platform/d3dx/xfile/x_reader.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/d3dx/files.h"
#include "platform/d3dx/xfile/x_container.h"
#include "platform/d3dx/xfile/x_lexer.h"
#include "platform/matrix.h"

namespace xfile {
namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;

platform::Matrix identityMatrix() {
    platform::Matrix m;
    return *platform::D3DXMatrixIdentity(&m);
}

// Double to float without leaving the float range (beyond it: infinity).
float toFloat(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax) return std::numeric_limits<float>::infinity();
    if (value < -kMax) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

platform::Vector3 normalized(const platform::Vector3& v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 0.0f)) return {0.0f, 0.0f, 0.0f};
    return {v.x / length, v.y / length, v.z / length};
}

bool sameVector(const platform::Vector3& a, const platform::Vector3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// A colour component in [0, 1] as a byte, rounded; NaN counts as 0.
uint32_t colourByte(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 1.0f) return 255;
    return static_cast<uint32_t>(value * 255.0f + 0.5f);
}

bool sameType(std::string_view type, std::string_view expected) {
    if (type.size() != expected.size()) return false;
    for (size_t i = 0; i < type.size(); ++i) {
        char a = type[i];
        char b = expected[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

platform::Material defaultMaterial() {
    platform::Material material;
    material.diffuse = {0.5f, 0.5f, 0.5f, 0.0f};
    material.specular = {0.5f, 0.5f, 0.5f, 0.0f};
    return material;
}

// One Mesh object of the file, fanned into triangles, in its own coordinates.
struct Part {
    uint32_t fvf = kFvfXyz;
    std::vector<Vertex> vertices;
    std::vector<uint32_t> indices;
    std::vector<uint32_t> attributes;     // per triangle, into `materials`
    std::vector<MeshMaterial> materials;  // empty: the mesh has no material list
    platform::Matrix matrix = identityMatrix();
};

// What one Mesh object of the file holds, as read.
struct MeshData {
    std::vector<platform::Vector3> positions;
    std::vector<uint32_t> faceSizes;
    std::vector<uint32_t> corners;  // the vertex of every face corner, face after face
    size_t triangles = 0;
    std::optional<std::vector<platform::Vector3>> normals;
    std::vector<uint32_t> cornerNormals;    // the normal of every face corner
    std::optional<std::vector<float>> uvs;  // u, v per vertex
    std::optional<std::vector<uint32_t>> colours;
    std::vector<MeshMaterial> materials;
    std::vector<uint32_t> faceMaterials;

    uint32_t vertexCount() const { return static_cast<uint32_t>(positions.size()); }
    uint32_t faceCount() const { return static_cast<uint32_t>(faceSizes.size()); }
};

struct ObjectHeader {
    std::string_view type;
    std::string_view name;
    platform::Guid guid;
    bool hasGuid = false;
    size_t offset = 0;  // of the type name, where the object can be read again
};

class Reader {
public:
    Reader(const Body& body, const ReadLimits& limits) : body_(body), limits_(limits) {
        const size_t size = body.bytes.size();
        const size_t most = std::numeric_limits<size_t>::max();
        budget_ = size > (most - limits.tokenAllowance) / (limits.tokensPerByte + 1)
                      ? most
                      : size * limits.tokensPerByte + limits.tokenAllowance;
    }

    bool read(Mesh& mesh);
    const std::string& error() const { return error_; }

private:
    bool fail(const char* message) {
        if (error_.empty()) error_ = message;
        return false;
    }
    bool failLexer(const Lexer& lexer) {
        return fail(lexer.error().empty() ? "malformed file" : lexer.error().c_str());
    }

    bool nextValue(Lexer& lexer, Token& token);
    bool readUInt(Lexer& lexer, uint32_t& value);
    // A count of items that take at least `tokensEach` tokens each, checked
    // against what is left of the body.
    bool readCount(Lexer& lexer, uint32_t& value, size_t tokensEach);
    bool readFloat(Lexer& lexer, float& value);
    bool readString(Lexer& lexer, std::string_view& value);

    bool beginObject(Lexer& lexer, const Token& typeToken, ObjectHeader& header);
    bool readReference(Lexer& lexer, size_t& target);
    void remember(const ObjectHeader& header) {
        if (resolving_ == 0) registry_.push_back(header);
    }
    // Reads child objects up to the closing brace. `onChild(header, lexer,
    // depth)` reads each child's body, closing brace included, from `lexer`.
    template <class OnChild>
    bool readChildren(Lexer& lexer, uint32_t depth, OnChild&& onChild);
    bool skipChildren(Lexer& lexer, uint32_t depth);
    bool skipBody(Lexer& lexer, uint32_t depth);
    bool skipTemplate(Lexer& lexer);

    bool readFrame(Lexer& lexer, uint32_t depth);
    bool readMatrix(Lexer& lexer, uint32_t depth, platform::Matrix& matrix);
    bool readMeshObject(Lexer& lexer, uint32_t depth);
    bool readPositions(Lexer& lexer, MeshData& mesh);
    bool readFaces(Lexer& lexer, MeshData& mesh);
    bool readNormals(Lexer& lexer, uint32_t depth, MeshData& mesh);
    bool readTextureCoords(Lexer& lexer, uint32_t depth, MeshData& mesh);
    bool readVertexColours(Lexer& lexer, uint32_t depth, MeshData& mesh);
    bool readMaterialList(Lexer& lexer, uint32_t depth, MeshData& mesh);
    bool readMaterial(Lexer& lexer, uint32_t depth, MeshMaterial& material);
    bool addPart(MeshData& mesh);
    bool splitByNormals(const MeshData& mesh, Part& part, std::vector<uint32_t>& cornerVertices);
    bool merge(Mesh& mesh);
    uint32_t mergeMaterials(Mesh& mesh, std::vector<uint32_t>& materialBase);
    void mergeVertices(Mesh& mesh, std::vector<uint32_t>& vertexBase) const;
    void mergeTriangles(Mesh& mesh, const std::vector<uint32_t>& materialBase,
                        uint32_t defaultIndex, const std::vector<uint32_t>& vertexBase) const;

    const Body& body_;
    ReadLimits limits_;
    size_t budget_ = 0;
    std::string error_;
    std::vector<ObjectHeader> registry_;
    int resolving_ = 0;  // > 0 while an object is read again through a reference
    // The product of the FrameTransformMatrix objects standing before the
    // object being read, in its frame and in the frames around it.
    platform::Matrix frameMatrix_ = identityMatrix();
    std::vector<Part> parts_;
    size_t vertexTotal_ = 0;
    size_t triangleTotal_ = 0;
};

bool Reader::nextValue(Lexer& lexer, Token& token) {
    do {
        if (!lexer.next(token)) return failLexer(lexer);
    } while (token.kind == TokenKind::Comma || token.kind == TokenKind::Semicolon);
    return true;
}

bool Reader::readUInt(Lexer& lexer, uint32_t& value) {
    Token token;
    if (!nextValue(lexer, token)) return false;
    if (token.kind != TokenKind::Integer) return fail("integer expected");
    value = token.integer;
    return true;
}

bool Reader::readCount(Lexer& lexer, uint32_t& value, size_t tokensEach) {
    if (!readUInt(lexer, value)) return false;
    // Every token takes at least one byte of the body.
    if (static_cast<uint64_t>(value) * tokensEach > lexer.remaining()) {
        return fail("count larger than the data that follows");
    }
    return true;
}

bool Reader::readFloat(Lexer& lexer, float& value) {
    Token token;
    if (!nextValue(lexer, token)) return false;
    if (token.kind != TokenKind::Float && token.kind != TokenKind::Integer) {
        return fail("number expected");
    }
    value = toFloat(token.real);
    return true;
}

bool Reader::readString(Lexer& lexer, std::string_view& value) {
    Token token;
    if (!nextValue(lexer, token)) return false;
    if (token.kind != TokenKind::String) return fail("string expected");
    value = token.text;
    return true;
}

// After the type name: an optional object name, "{", an optional UUID.
bool Reader::beginObject(Lexer& lexer, const Token& typeToken, ObjectHeader& header) {
    header = ObjectHeader{};
    header.type = typeToken.text;
    header.offset = typeToken.offset;
    Token token;
    if (!lexer.next(token)) return failLexer(lexer);
    if (token.kind == TokenKind::Name) {
        header.name = token.text;
        if (!lexer.next(token)) return failLexer(lexer);
    }
    if (token.kind != TokenKind::OpenBrace) return fail("'{' expected after an object's type");
    if (!lexer.peek(token)) return failLexer(lexer);
    if (token.kind == TokenKind::Guid) {
        lexer.next(token);
        header.guid = token.guid;
        header.hasGuid = true;
    }
    return true;
}

// After "{": a name, a UUID or both, then "}". `target` indexes the registry.
bool Reader::readReference(Lexer& lexer, size_t& target) {
    Token token;
    std::optional<std::string_view> name;
    std::optional<platform::Guid> guid;
    if (!lexer.next(token)) return failLexer(lexer);
    if (token.kind == TokenKind::Name) {
        name = token.text;
        if (!lexer.next(token)) return failLexer(lexer);
    }
    if (token.kind == TokenKind::Guid) {
        guid = token.guid;
        if (!lexer.next(token)) return failLexer(lexer);
    }
    if (token.kind != TokenKind::CloseBrace || (!name && !guid)) {
        return fail("malformed reference");
    }
    if (name) {
        for (size_t i = 0; i < registry_.size(); ++i) {
            if (registry_[i].name == *name) {
                target = i;
                return true;
            }
        }
    }
    if (guid) {
        for (size_t i = 0; i < registry_.size(); ++i) {
            if (registry_[i].hasGuid && registry_[i].guid == *guid) {
                target = i;
                return true;
            }
        }
    }
    return fail("reference to an object not declared before");
}

template <class OnChild>
bool Reader::readChildren(Lexer& lexer, uint32_t depth, OnChild&& onChild) {
    for (;;) {
        Token token;
        if (!lexer.next(token)) return failLexer(lexer);
        switch (token.kind) {
            case TokenKind::Comma:
            case TokenKind::Semicolon:
                continue;
            case TokenKind::CloseBrace:
                return true;
            case TokenKind::Name: {
                if (depth >= limits_.maxDepth) return fail("objects nested too deeply");
                ObjectHeader header;
                if (!beginObject(lexer, token, header)) return false;
                if (!onChild(header, lexer, depth + 1)) return false;
                remember(header);
                continue;
            }
            case TokenKind::OpenBrace: {
                size_t target = 0;
                if (!readReference(lexer, target)) return false;
                if (depth >= limits_.maxDepth) return fail("objects nested too deeply");
                Lexer again(body_, registry_[target].offset, &budget_);
                Token typeToken;
                if (!again.next(typeToken)) return failLexer(again);
                ObjectHeader header;
                if (typeToken.kind != TokenKind::Name) return fail("broken reference");
                if (!beginObject(again, typeToken, header)) return false;
                ++resolving_;
                const bool ok = onChild(header, again, depth + 1);
                --resolving_;
                if (!ok) return false;
                continue;
            }
            case TokenKind::End:
                return fail("the file ends inside an object");
            default:
                return fail("unexpected data among child objects");
        }
    }
}

bool Reader::skipChildren(Lexer& lexer, uint32_t depth) {
    return readChildren(lexer, depth, [this](const ObjectHeader&, Lexer& child, uint32_t d) {
        return skipBody(child, d);
    });
}

// The rest of an object of no interest: its data, its children (which may be
// referred to later, so they are remembered) and its closing brace.
bool Reader::skipBody(Lexer& lexer, uint32_t depth) {
    for (;;) {
        Token token;
        if (!lexer.next(token)) return failLexer(lexer);
        switch (token.kind) {
            case TokenKind::CloseBrace:
                return true;
            case TokenKind::End:
                return fail("the file ends inside an object");
            case TokenKind::Template:
                return fail("template inside an object");
            case TokenKind::Name: {
                if (depth >= limits_.maxDepth) return fail("objects nested too deeply");
                ObjectHeader header;
                if (!beginObject(lexer, token, header)) return false;
                if (!skipBody(lexer, depth + 1)) return false;
                remember(header);
                continue;
            }
            case TokenKind::OpenBrace:
                // A reference: not followed, so it may name anything.
                for (;;) {
                    if (!lexer.next(token)) return failLexer(lexer);
                    if (token.kind == TokenKind::CloseBrace) break;
                    if (token.kind != TokenKind::Name && token.kind != TokenKind::Guid) {
                        return fail("malformed reference");
                    }
                }
                continue;
            default:
                continue;
        }
    }
}

// "template Name { <UUID> members [restrictions] }": nothing in it matters.
bool Reader::skipTemplate(Lexer& lexer) {
    Token token;
    if (!lexer.next(token)) return failLexer(lexer);
    if (token.kind != TokenKind::Name) return fail("template without a name");
    if (!lexer.next(token)) return failLexer(lexer);
    if (token.kind != TokenKind::OpenBrace) return fail("'{' expected after a template's name");
    for (;;) {
        if (!lexer.next(token)) return failLexer(lexer);
        if (token.kind == TokenKind::CloseBrace) return true;
        if (token.kind == TokenKind::End) return fail("the file ends inside a template");
        if (token.kind == TokenKind::OpenBrace) return fail("'{' inside a template");
    }
}

bool Reader::readMatrix(Lexer& lexer, uint32_t depth, platform::Matrix& matrix) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (!readFloat(lexer, matrix.m[r][c])) return false;
        }
    }
    return skipChildren(lexer, depth);
}

// Each FrameTransformMatrix applies to what follows it in the frame, on top
// of the matrices before it: a later matrix acts first, as a child frame's
// does, then the frame's earlier ones, then its parents'.
bool Reader::readFrame(Lexer& lexer, uint32_t depth) {
    const platform::Matrix parentMatrix = frameMatrix_;
    const bool ok =
        readChildren(lexer, depth, [&](const ObjectHeader& header, Lexer& child, uint32_t d) {
            if (sameType(header.type, "FrameTransformMatrix")) {
                platform::Matrix matrix;
                if (!readMatrix(child, d, matrix)) return false;
                platform::D3DXMatrixMultiply(&frameMatrix_, &matrix, &frameMatrix_);
                return true;
            }
            if (sameType(header.type, "Mesh")) return readMeshObject(child, d);
            if (sameType(header.type, "Frame")) return readFrame(child, d);
            return skipBody(child, d);
        });
    frameMatrix_ = parentMatrix;
    return ok;
}

bool Reader::readMaterial(Lexer& lexer, uint32_t depth, MeshMaterial& out) {
    float values[11];
    for (float& value : values) {
        if (!readFloat(lexer, value)) return false;
    }
    out = MeshMaterial{};
    out.material.diffuse = {values[0], values[1], values[2], values[3]};
    out.material.power = values[4];
    out.material.specular = {values[5], values[6], values[7], 1.0f};
    out.material.emissive = {values[8], values[9], values[10], 1.0f};
    out.material.ambient = {0.0f, 0.0f, 0.0f, 1.0f};
    return readChildren(lexer, depth, [&](const ObjectHeader& header, Lexer& child, uint32_t d) {
        if (!sameType(header.type, "TextureFilename")) return skipBody(child, d);
        std::string_view name;
        if (!readString(child, name)) return false;
        out.textureFilename = std::string(name);
        return skipChildren(child, d);
    });
}

bool Reader::readPositions(Lexer& lexer, MeshData& mesh) {
    uint32_t vertexCount = 0;
    if (!readCount(lexer, vertexCount, 3)) return false;
    if (vertexTotal_ + vertexCount > limits_.maxVertices) return fail("too many vertices");
    mesh.positions.resize(vertexCount);
    for (platform::Vector3& p : mesh.positions) {
        if (!readFloat(lexer, p.x) || !readFloat(lexer, p.y) || !readFloat(lexer, p.z)) {
            return false;
        }
    }
    return true;
}

bool Reader::readFaces(Lexer& lexer, MeshData& mesh) {
    uint32_t faceCount = 0;
    if (!readCount(lexer, faceCount, 4)) return false;
    mesh.faceSizes.resize(faceCount);
    for (uint32_t& size : mesh.faceSizes) {
        if (!readUInt(lexer, size)) return false;
        if (size < 3) return fail("face with fewer than three vertices");
        if (size > lexer.remaining()) return fail("count larger than the data that follows");
        for (uint32_t j = 0; j < size; ++j) {
            uint32_t index = 0;
            if (!readUInt(lexer, index)) return false;
            if (index >= mesh.vertexCount()) {
                return fail("face refers to a vertex that does not exist");
            }
            mesh.corners.push_back(index);
        }
        mesh.triangles += size - 2;
        if (triangleTotal_ + mesh.triangles > limits_.maxTriangles) {
            return fail("too many triangles");
        }
    }
    return true;
}

bool Reader::readNormals(Lexer& lexer, uint32_t depth, MeshData& mesh) {
    mesh.normals.reset();
    mesh.cornerNormals.clear();
    uint32_t count = 0;
    if (!readCount(lexer, count, 3)) return false;
    std::vector<platform::Vector3> list(count);
    for (platform::Vector3& n : list) {
        if (!readFloat(lexer, n.x) || !readFloat(lexer, n.y) || !readFloat(lexer, n.z)) {
            return false;
        }
        n = normalized(n);
    }
    uint32_t normalFaces = 0;
    if (!readUInt(lexer, normalFaces)) return false;
    if (normalFaces != mesh.faceCount()) return fail("MeshNormals has another number of faces");
    mesh.cornerNormals.reserve(mesh.corners.size());
    for (uint32_t f = 0; f < mesh.faceCount(); ++f) {
        uint32_t size = 0;
        if (!readUInt(lexer, size)) return false;
        if (size != mesh.faceSizes[f]) return fail("MeshNormals face of another size");
        for (uint32_t j = 0; j < size; ++j) {
            uint32_t index = 0;
            if (!readUInt(lexer, index)) return false;
            if (index >= count) return fail("face refers to a normal that does not exist");
            mesh.cornerNormals.push_back(index);
        }
    }
    mesh.normals = std::move(list);
    return skipChildren(lexer, depth);
}

bool Reader::readTextureCoords(Lexer& lexer, uint32_t depth, MeshData& mesh) {
    uint32_t count = 0;
    if (!readUInt(lexer, count)) return false;
    if (count != mesh.vertexCount()) {
        return fail("MeshTextureCoords has another number of vertices");
    }
    std::vector<float> list(size_t{count} * 2);
    for (float& value : list) {
        if (!readFloat(lexer, value)) return false;
    }
    mesh.uvs = std::move(list);
    return skipChildren(lexer, depth);
}

bool Reader::readVertexColours(Lexer& lexer, uint32_t depth, MeshData& mesh) {
    uint32_t count = 0;
    if (!readCount(lexer, count, 5)) return false;
    std::vector<uint32_t> list(mesh.vertexCount(), 0x00FFFFFFu);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t index = 0;
        float rgba[4];
        if (!readUInt(lexer, index)) return false;
        for (float& value : rgba) {
            if (!readFloat(lexer, value)) return false;
        }
        if (index >= mesh.vertexCount()) return fail("colour for a vertex that does not exist");
        list[index] = colourByte(rgba[3]) << 24 | colourByte(rgba[0]) << 16 |
                      colourByte(rgba[1]) << 8 | colourByte(rgba[2]);
    }
    mesh.colours = std::move(list);
    return skipChildren(lexer, depth);
}

bool Reader::readMaterialList(Lexer& lexer, uint32_t depth, MeshData& mesh) {
    std::vector<MeshMaterial>& materials = mesh.materials;
    materials.clear();
    mesh.faceMaterials.clear();
    uint32_t materialCount = 0;
    if (!readUInt(lexer, materialCount)) return false;
    if (materialCount == 0) return skipBody(lexer, depth);
    uint32_t indexCount = 0;
    if (!readCount(lexer, indexCount, 1)) return false;
    mesh.faceMaterials.resize(indexCount);
    for (uint32_t& index : mesh.faceMaterials) {
        if (!readUInt(lexer, index)) return false;
        if (index >= materialCount) return fail("face refers to a material that does not exist");
    }
    const bool ok =
        readChildren(lexer, depth, [&](const ObjectHeader& header, Lexer& child, uint32_t d) {
            if (!sameType(header.type, "Material")) return skipBody(child, d);
            if (materials.size() >= materialCount) return fail("more materials than declared");
            materials.emplace_back();
            return readMaterial(child, d, materials.back());
        });
    if (!ok) return false;
    if (materials.size() != materialCount) return fail("fewer materials than declared");
    return true;
}

bool Reader::readMeshObject(Lexer& lexer, uint32_t depth) {
    MeshData mesh;
    if (!readPositions(lexer, mesh) || !readFaces(lexer, mesh)) return false;
    const bool ok =
        readChildren(lexer, depth, [&](const ObjectHeader& header, Lexer& child, uint32_t d) {
            if (sameType(header.type, "MeshNormals")) return readNormals(child, d, mesh);
            if (sameType(header.type, "MeshTextureCoords")) {
                return readTextureCoords(child, d, mesh);
            }
            if (sameType(header.type, "MeshVertexColors")) return readVertexColours(child, d, mesh);
            if (sameType(header.type, "MeshMaterialList")) return readMaterialList(child, d, mesh);
            return skipBody(child, d);
        });
    if (!ok) return false;
    if (mesh.positions.empty()) return true;  // adds nothing
    return addPart(mesh);
}

// The mesh's vertices in the vertex format of what it has, normals not set.
Part partOf(const MeshData& mesh, const platform::Matrix& matrix) {
    Part part;
    part.matrix = matrix;
    if (mesh.normals) part.fvf |= kFvfNormal;
    if (mesh.colours) part.fvf |= kFvfDiffuse;
    if (mesh.uvs) part.fvf |= kFvfTex1;
    part.vertices.resize(mesh.vertexCount());
    for (uint32_t i = 0; i < mesh.vertexCount(); ++i) {
        Vertex& vertex = part.vertices[i];
        vertex.position = mesh.positions[i];
        vertex.diffuse = mesh.colours ? (*mesh.colours)[i] : 0xFFFFFFFFu;
        if (mesh.uvs) {
            vertex.u = (*mesh.uvs)[2 * size_t{i}];
            vertex.v = (*mesh.uvs)[2 * size_t{i} + 1];
        }
    }
    return part;
}

// Each corner's vertex with its normal: a vertex met with a normal other than
// its first is split into copies, one per distinct normal.
bool Reader::splitByNormals(const MeshData& mesh, Part& part,
                            std::vector<uint32_t>& cornerVertices) {
    const std::vector<platform::Vector3>& normals = *mesh.normals;
    std::vector<uint32_t> firstNormal(mesh.vertexCount(), kNone);
    std::vector<uint32_t> nextCopy(mesh.vertexCount(), kNone);
    for (size_t c = 0; c < mesh.corners.size(); ++c) {
        const uint32_t original = mesh.corners[c];
        const platform::Vector3& normal = normals[mesh.cornerNormals[c]];
        if (firstNormal[original] == kNone) {
            firstNormal[original] = mesh.cornerNormals[c];
            part.vertices[original].normal = normal;
            continue;
        }
        uint32_t candidate = original;
        uint32_t last = original;
        while (candidate != kNone && !sameVector(part.vertices[candidate].normal, normal)) {
            last = candidate;
            candidate = nextCopy[candidate];
        }
        if (candidate == kNone) {
            if (vertexTotal_ + part.vertices.size() >= limits_.maxVertices) {
                return fail("too many vertices");
            }
            candidate = static_cast<uint32_t>(part.vertices.size());
            Vertex copy = part.vertices[original];
            copy.normal = normal;
            part.vertices.push_back(copy);
            nextCopy.push_back(kNone);
            nextCopy[last] = candidate;
        }
        cornerVertices[c] = candidate;
    }
    return true;
}

// The faces fanned into triangles, each with its face's material.
void fanFaces(const MeshData& mesh, const std::vector<uint32_t>& cornerVertices, Part& part) {
    const bool hasMaterials = !mesh.materials.empty();
    const std::vector<uint32_t>& faceMaterials = mesh.faceMaterials;
    part.indices.reserve(mesh.triangles * 3);
    part.attributes.reserve(mesh.triangles);
    size_t start = 0;
    for (uint32_t f = 0; f < mesh.faceCount(); ++f) {
        uint32_t material = 0;
        if (hasMaterials && !faceMaterials.empty()) {
            material = faceMaterials[f < faceMaterials.size() ? f : faceMaterials.size() - 1];
        }
        for (uint32_t k = 1; k + 1 < mesh.faceSizes[f]; ++k) {
            part.indices.push_back(cornerVertices[start]);
            part.indices.push_back(cornerVertices[start + k]);
            part.indices.push_back(cornerVertices[start + k + 1]);
            part.attributes.push_back(material);
        }
        start += mesh.faceSizes[f];
    }
}

// The mesh as a part under the frame matrix it stands in.
bool Reader::addPart(MeshData& mesh) {
    Part part = partOf(mesh, frameMatrix_);
    std::vector<uint32_t> cornerVertices = mesh.corners;
    if (mesh.normals && !splitByNormals(mesh, part, cornerVertices)) return false;
    if (vertexTotal_ + part.vertices.size() > limits_.maxVertices) return fail("too many vertices");
    fanFaces(mesh, cornerVertices, part);
    part.materials = std::move(mesh.materials);
    vertexTotal_ += part.vertices.size();
    triangleTotal_ += mesh.triangles;
    parts_.push_back(std::move(part));
    return true;
}

// The vertex format of all parts, and their materials one after the other,
// with one default material after them for the parts without any; returns
// the default material's index.
uint32_t Reader::mergeMaterials(Mesh& mesh, std::vector<uint32_t>& materialBase) {
    bool needDefault = false;
    for (size_t p = 0; p < parts_.size(); ++p) {
        Part& part = parts_[p];
        mesh.fvf |= part.fvf;
        if (part.materials.empty()) {
            needDefault = true;
            continue;
        }
        materialBase[p] = static_cast<uint32_t>(mesh.materials.size());
        for (MeshMaterial& material : part.materials) mesh.materials.push_back(std::move(material));
    }
    const uint32_t defaultIndex = static_cast<uint32_t>(mesh.materials.size());
    if (needDefault) mesh.materials.push_back(MeshMaterial{defaultMaterial(), std::nullopt});
    return defaultIndex;
}

// `vertices` through `matrix`, appended to `out`.
void appendTransformed(const std::vector<Vertex>& vertices, const platform::Matrix& matrix,
                       std::vector<Vertex>& out) {
    const auto& m = matrix.m;
    // Normals go through the cofactors of the 3x3 part: the inverse
    // transpose up to a scale, and defined for singular matrices too.
    float cof[3][3] = {
        {m[1][1] * m[2][2] - m[1][2] * m[2][1], m[1][2] * m[2][0] - m[1][0] * m[2][2],
         m[1][0] * m[2][1] - m[1][1] * m[2][0]},
        {m[0][2] * m[2][1] - m[0][1] * m[2][2], m[0][0] * m[2][2] - m[0][2] * m[2][0],
         m[0][1] * m[2][0] - m[0][0] * m[2][1]},
        {m[0][1] * m[1][2] - m[0][2] * m[1][1], m[0][2] * m[1][0] - m[0][0] * m[1][2],
         m[0][0] * m[1][1] - m[0][1] * m[1][0]},
    };
    const float det = m[0][0] * cof[0][0] + m[0][1] * cof[0][1] + m[0][2] * cof[0][2];
    const float sign = det < 0.0f ? -1.0f : 1.0f;
    for (Vertex vertex : vertices) {
        const platform::Vector3 p0 = vertex.position;
        float x = p0.x * m[0][0] + p0.y * m[1][0] + p0.z * m[2][0] + m[3][0];
        float y = p0.x * m[0][1] + p0.y * m[1][1] + p0.z * m[2][1] + m[3][1];
        float z = p0.x * m[0][2] + p0.y * m[1][2] + p0.z * m[2][2] + m[3][2];
        const float w = p0.x * m[0][3] + p0.y * m[1][3] + p0.z * m[2][3] + m[3][3];
        if (w != 0.0f && w != 1.0f) {
            x /= w;
            y /= w;
            z /= w;
        }
        vertex.position = {x, y, z};
        const platform::Vector3 n = vertex.normal;
        vertex.normal = normalized({
            sign * (n.x * cof[0][0] + n.y * cof[1][0] + n.z * cof[2][0]),
            sign * (n.x * cof[0][1] + n.y * cof[1][1] + n.z * cof[2][1]),
            sign * (n.x * cof[0][2] + n.y * cof[1][2] + n.z * cof[2][2]),
        });
        out.push_back(vertex);
    }
}

// Vertices, under their frames' matrices.
void Reader::mergeVertices(Mesh& mesh, std::vector<uint32_t>& vertexBase) const {
    mesh.vertices.reserve(vertexTotal_);
    const platform::Matrix identity = identityMatrix();
    for (size_t p = 0; p < parts_.size(); ++p) {
        const Part& part = parts_[p];
        vertexBase[p] = static_cast<uint32_t>(mesh.vertices.size());
        if (part.matrix == identity) {
            mesh.vertices.insert(mesh.vertices.end(), part.vertices.begin(), part.vertices.end());
            continue;
        }
        appendTransformed(part.vertices, part.matrix, mesh.vertices);
    }
}

// Triangles, grouped by material in file order (a counting sort).
void Reader::mergeTriangles(Mesh& mesh, const std::vector<uint32_t>& materialBase,
                            uint32_t defaultIndex, const std::vector<uint32_t>& vertexBase) const {
    const size_t materialCount = mesh.materials.size();
    std::vector<uint32_t> counts(materialCount + 1, 0);
    for (size_t p = 0; p < parts_.size(); ++p) {
        for (const uint32_t attribute : parts_[p].attributes) {
            const uint32_t material =
                parts_[p].materials.empty() ? defaultIndex : materialBase[p] + attribute;
            ++counts[material + 1];
        }
    }
    for (size_t i = 1; i <= materialCount; ++i) counts[i] += counts[i - 1];
    mesh.subsets.resize(materialCount);
    for (size_t i = 0; i < materialCount; ++i) {
        mesh.subsets[i].faceStart = counts[i];
        mesh.subsets[i].faceCount = counts[i + 1] - counts[i];
    }
    mesh.indices.resize(triangleTotal_ * 3);
    std::vector<uint32_t> next(counts.begin(), counts.end() - 1);
    for (size_t p = 0; p < parts_.size(); ++p) {
        const Part& part = parts_[p];
        for (size_t t = 0; t < part.attributes.size(); ++t) {
            const uint32_t material =
                part.materials.empty() ? defaultIndex : materialBase[p] + part.attributes[t];
            const size_t out = size_t{next[material]++} * 3;
            for (size_t k = 0; k < 3; ++k) {
                mesh.indices[out + k] = vertexBase[p] + part.indices[t * 3 + k];
            }
        }
    }
}

// Each subset's range of vertices: from its lowest index to its highest.
void setVertexRanges(Mesh& mesh) {
    for (Subset& subset : mesh.subsets) {
        if (subset.faceCount == 0) continue;
        uint32_t low = kNone;
        uint32_t high = 0;
        for (size_t i = size_t{subset.faceStart} * 3;
             i < size_t{subset.faceStart + subset.faceCount} * 3; ++i) {
            low = std::min(low, mesh.indices[i]);
            high = std::max(high, mesh.indices[i]);
        }
        subset.vertexStart = low;
        subset.vertexCount = high - low + 1;
    }
}

bool Reader::merge(Mesh& mesh) {
    if (triangleTotal_ == 0) return fail("no triangles in the file");
    mesh = Mesh{};
    std::vector<uint32_t> materialBase(parts_.size(), 0);
    const uint32_t defaultIndex = mergeMaterials(mesh, materialBase);
    std::vector<uint32_t> vertexBase(parts_.size(), 0);
    mergeVertices(mesh, vertexBase);
    mergeTriangles(mesh, materialBase, defaultIndex, vertexBase);
    setVertexRanges(mesh);
    return true;
}

bool Reader::read(Mesh& mesh) {
    Lexer lexer(body_, 0, &budget_);
    for (;;) {
        Token token;
        if (!lexer.next(token)) return failLexer(lexer);
        if (token.kind == TokenKind::End) break;
        if (token.kind == TokenKind::Comma || token.kind == TokenKind::Semicolon) continue;
        if (token.kind == TokenKind::Template) {
            if (!skipTemplate(lexer)) return false;
            continue;
        }
        if (token.kind != TokenKind::Name) return fail("unexpected token at the top level");
        ObjectHeader header;
        if (!beginObject(lexer, token, header)) return false;
        bool ok;
        if (sameType(header.type, "Mesh")) {
            ok = readMeshObject(lexer, 1);
        } else if (sameType(header.type, "Frame")) {
            ok = readFrame(lexer, 1);
        } else {
            ok = skipBody(lexer, 1);
        }
        if (!ok) return false;
        remember(header);
    }
    return merge(mesh);
}

}  // namespace

bool readMesh(std::span<const uint8_t> file, Mesh& mesh, std::string& error,
              const ReadLimits& limits) {
    mesh = Mesh{};
    error.clear();
    Body body;
    if (!openBody(file, limits.maxInflatedBytes, body, error)) return false;
    Reader reader(body, limits);
    if (!reader.read(mesh)) {
        error = reader.error();
        mesh = Mesh{};
        return false;
    }
    return true;
}

bool readMeshFile(const char* fileName, Mesh& mesh, std::string& error, const ReadLimits& limits) {
    mesh = Mesh{};
    std::vector<uint8_t> bytes;
    if (fileName == nullptr ||
        !d3dx::readWholeFile(fileName, d3dx::NameEncoding::cp932, limits.maxFileBytes, bytes)) {
        error = "cannot read the file";
        return false;
    }
    return readMesh(bytes, mesh, error, limits);
}

}  // namespace xfile
