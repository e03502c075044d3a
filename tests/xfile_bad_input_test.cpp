// Files from everywhere: whatever the bytes, the reader gives a mesh or a
// failure with a reason, without crashing, hanging or allocating what a count
// merely claims (the sanitizers of the native build watch the allocations).
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "xfile_test_support.h"

namespace {

// Reads `bytes`; on success the mesh must hold together.
void readAnything(const std::vector<uint8_t>& bytes, const xfile::ReadLimits& limits = {}) {
    xfile::Mesh mesh;
    std::string error;
    if (xfile::readMesh(bytes, mesh, error, limits)) {
        ASSERT_GT(mesh.triangleCount(), 0u);
        ASSERT_EQ(mesh.subsets.size(), mesh.materials.size());
        for (const uint32_t index : mesh.indices) ASSERT_LT(index, mesh.vertices.size());
    } else {
        ASSERT_FALSE(error.empty());
        ASSERT_TRUE(mesh.vertices.empty());
    }
}

TEST(XFileBadInputTest, EveryTruncationOfSmallFiles) {
    for (const char* name :
         {"materials.txt.x", "materials.bin.x", "materials.bzip.x", "materials.bin64.x",
          "unknown_objects.bin.x", "frames.txt.x", "material_refs.bin.x", "sample.tzip.x"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = xtest::corpusFile(name);
        ASSERT_FALSE(file.empty());
        for (size_t length = 0; length < file.size(); ++length) {
            readAnything(std::vector<uint8_t>(file.begin(), file.begin() + length));
        }
    }
}

TEST(XFileBadInputTest, RandomByteChangesToEveryEncoding) {
    std::mt19937 random(462);
    for (const char* name : {"materials.txt.x", "materials.bin.x", "materials.bzip.x",
                             "cube_normals.bin.x", "vertex_colours.txt.x", "uuid_refs.bin.x",
                             "frame_instances.bin.x", "unknown_objects.txt.x"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = xtest::corpusFile(name);
        for (int round = 0; round < 1500; ++round) {
            std::vector<uint8_t> changed = file;
            const int changes = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < changes; ++i) {
                // Keep the header most of the time, so that the body is reached.
                const size_t from = random() % 8 == 0 ? 0 : 16;
                const size_t at = from + random() % (changed.size() - from);
                switch (random() % 3) {
                    case 0:
                        changed[at] = static_cast<uint8_t>(random());
                        break;
                    case 1:
                        changed[at] ^= static_cast<uint8_t>(1u << (random() % 8));
                        break;
                    default:
                        changed.insert(changed.begin() + static_cast<ptrdiff_t>(at),
                                       static_cast<uint8_t>(random()));
                }
            }
            readAnything(changed);
        }
    }
}

TEST(XFileBadInputTest, CountsLargerThanTheFileFailBeforeAnythingIsSized) {
    for (const char* text : {
             "Mesh { 4294967295; 0;0;0;; 1; 3;0,0,0;; }",
             "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 4294967295; 3;0,1,2;; }",
             "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 4294967295;0,1,2;; }",
             "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
             "  MeshNormals { 4294967295; 0;0;1;; 1; 3;0,0,0;; } }",
             "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
             "  MeshVertexColors { 4294967295; 0;1;1;1;1;;; } }",
             "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
             "  MeshMaterialList { 4294967295; 4294967295; 0; } }",
             "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
             "  MeshTextureCoords { 4294967295; 0;0;; } }",
         }) {
        SCOPED_TRACE(text);
        xtest::readTextError(text);
    }
}

TEST(XFileBadInputTest, DeepNestingFailsWithoutExhaustingTheStack) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "Thing {";
    xtest::readTextError(deep);
    std::string frames;
    for (int i = 0; i < 100000; ++i) frames += "Frame {";
    xtest::readTextError(frames);
    std::string materials =
        "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 0;";
    for (int i = 0; i < 100000; ++i) materials += " Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;;";
    xtest::readTextError(materials);

    // Just within the limit is fine.
    xfile::ReadLimits limits;
    std::string ok;
    for (uint32_t i = 1; i < limits.maxDepth; ++i) ok += "Frame {";
    ok += "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }";
    for (uint32_t i = 1; i < limits.maxDepth; ++i) ok += "}";
    xtest::readTextOk(ok);
}

TEST(XFileBadInputTest, OutputLimitsBoundTheMergedMesh) {
    xfile::ReadLimits limits;
    limits.maxVertices = 5;
    limits.maxTriangles = 3;
    const std::string quad = "Mesh { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;; 2; 3;0,1,2;, 3;0,2,3;; }\n";
    xfile::Mesh mesh;
    std::string error;
    EXPECT_TRUE(xfile::readMesh(xtest::bytesOf("xof 0303txt 0032" + quad), mesh, error, limits));
    EXPECT_FALSE(
        xfile::readMesh(xtest::bytesOf("xof 0303txt 0032" + quad + quad), mesh, error, limits));
    EXPECT_NE(error.find("too many"), std::string::npos) << error;
}

TEST(XFileBadInputTest, WorkLimitStopsFilesThatTakeTooLong) {
    xfile::ReadLimits limits;
    limits.tokensPerByte = 0;
    limits.tokenAllowance = 10;
    xfile::Mesh mesh;
    std::string error;
    EXPECT_FALSE(xfile::readMesh(xtest::corpusFile("materials.txt.x"), mesh, error, limits));
    EXPECT_NE(error.find("too long"), std::string::npos) << error;
}

TEST(XFileBadInputTest, MissingAndEmptyFiles) {
    xfile::Mesh mesh;
    std::string error;
    EXPECT_FALSE(xfile::readMeshFile("/nonexistent/model.x", mesh, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(xfile::readMeshFile(nullptr, mesh, error));
    EXPECT_FALSE(xfile::readMesh({}, mesh, error));
    const std::string path = (xtest::dataDir() / "x" / "sample.txt.x").string();
    EXPECT_TRUE(xfile::readMeshFile(path.c_str(), mesh, error)) << error;
    xfile::ReadLimits small;
    small.maxFileBytes = 100;
    EXPECT_FALSE(xfile::readMeshFile(path.c_str(), mesh, error, small));
}

}  // namespace
