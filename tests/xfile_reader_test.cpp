// The .x reader, feature by feature, on small hand-written files.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/d3dx/material_buffer.h"
#include "xfile_test_support.h"

namespace {

using xtest::readTextError;
using xtest::readTextOk;

const char* const kQuad =
    "4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;\n"
    "2; 3;0,1,2;, 3;0,2,3;;\n";

std::string mesh(const std::string& body, const std::string& children = "") {
    return "Mesh {\n" + body + children + "}\n";
}

void expectVector(const platform::Vector3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

// ---------------------------------------------------------------------------
// Faces

TEST(XFileFacesTest, PolygonsAreFannedFromTheirFirstCorner) {
    const xfile::Mesh m =
        readTextOk(mesh("6; 0;0;0;, 1;0;0;, 2;1;0;, 1;2;0;, 0;2;0;, -1;1;0;;\n"
                        "2; 6;0,1,2,3,4,5;, 3;5,4,3;;\n"));
    ASSERT_EQ(m.triangleCount(), 5u);
    EXPECT_EQ(m.indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 0, 3, 4, 0, 4, 5, 5, 4, 3}));
    EXPECT_EQ(m.fvf, xfile::kFvfXyz);
}

TEST(XFileFacesTest, FaceWithFewerThanThreeCornersFails) {
    readTextError(mesh("3; 0;0;0;, 1;0;0;, 0;1;0;;\n 1; 2;0,1;;\n"));
}

TEST(XFileFacesTest, FaceIndexBeyondTheVerticesFails) {
    const std::string error = readTextError(mesh("3; 0;0;0;, 1;0;0;, 0;1;0;;\n 1; 3;0,1,3;;\n"));
    EXPECT_NE(error.find("vertex"), std::string::npos) << error;
}

TEST(XFileFacesTest, FileWithoutTrianglesFails) {
    readTextError(mesh("3; 0;0;0;, 1;0;0;, 0;1;0;;\n 0;;\n"));
    readTextError("Frame empty { }\n");
    readTextError("");
}

TEST(XFileFacesTest, MeshWithoutVerticesAddsNothing) {
    const xfile::Mesh m = readTextOk(mesh("0;; 0;;\n") + mesh(kQuad));
    EXPECT_EQ(m.vertices.size(), 4u);
    EXPECT_EQ(m.triangleCount(), 2u);
}

TEST(XFileFacesTest, SeparatorsMayBeLeftOutOrDoubled) {
    const xfile::Mesh loose = readTextOk(mesh("3 0 0 0 1 0 0 0 1 0 1 3 0 1 2"));
    const xfile::Mesh strict = readTextOk(mesh("3;0;0;0;,1;0;0;,0;1;0;;1;3;0,1,2;;"));
    EXPECT_EQ(loose.indices, strict.indices);
    ASSERT_EQ(loose.vertices.size(), 3u);
    expectVector(loose.vertices[2].position, 0, 1, 0);
}

TEST(XFileFacesTest, NumbersInAllTheirTextForms) {
    const xfile::Mesh m =
        readTextOk(mesh("3; -1.5e1;+2;.25;, 1.;-0;1E-2;, 3;4;5;;\n 1; 3;0,1,2;;\n"));
    expectVector(m.vertices[0].position, -15.0f, 2.0f, 0.25f);
    expectVector(m.vertices[1].position, 1.0f, 0.0f, 0.01f);
}

TEST(XFileFacesTest, AFloatWhereACountBelongsFails) {
    readTextError(mesh("3.0; 0;0;0;, 1;0;0;, 0;1;0;;\n 1; 3;0,1,2;;\n"));
}

// ---------------------------------------------------------------------------
// Normals

TEST(XFileNormalsTest, VertexWithSeveralNormalsIsSplitAfterTheOriginals) {
    // Two triangles share the edge 0-2 but have different normals there.
    const xfile::Mesh m = readTextOk(mesh(kQuad,
                                          "MeshNormals { 2; 0;0;-2;, 0;0;1;;\n"
                                          "2; 3;0,0,0;, 3;1,1,1;; }\n"));
    EXPECT_EQ(m.fvf, xfile::kFvfXyz | xfile::kFvfNormal);
    ASSERT_EQ(m.vertices.size(), 6u);              // 0 and 2 gain copies
    expectVector(m.vertices[0].normal, 0, 0, -1);  // normalised
    expectVector(m.vertices[3].normal, 0, 0, 1);   // vertex 3 only in face 2
    expectVector(m.vertices[4].position, 0, 0, 0);
    expectVector(m.vertices[4].normal, 0, 0, 1);
    expectVector(m.vertices[5].position, 1, 1, 0);
    EXPECT_EQ(m.indices, (std::vector<uint32_t>{0, 1, 2, 4, 5, 3}));
}

TEST(XFileNormalsTest, EqualNormalsUnderDifferentIndicesShareTheVertex) {
    const xfile::Mesh m = readTextOk(mesh(kQuad,
                                          "MeshNormals { 2; 0;0;1;, 0;0;3;;\n"
                                          "2; 3;0,0,0;, 3;1,1,1;; }\n"));
    EXPECT_EQ(m.vertices.size(), 4u);
}

TEST(XFileNormalsTest, VertexOutsideEveryFaceKeepsAZeroNormal) {
    const xfile::Mesh m = readTextOk(mesh("4; 0;0;0;, 1;0;0;, 0;1;0;, 9;9;9;;\n 1; 3;0,1,2;;\n",
                                          "MeshNormals { 1; 0;0;1;; 1; 3;0,0,0;; }\n"));
    expectVector(m.vertices[3].normal, 0, 0, 0);
}

TEST(XFileNormalsTest, FaceListThatDoesNotMatchTheMeshFails) {
    // Another number of faces.
    readTextError(mesh(kQuad, "MeshNormals { 1; 0;0;1;; 1; 3;0,0,0;; }\n"));
    // A face of another size.
    readTextError(mesh(kQuad, "MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 4;0,0,0,0;; }\n"));
    // A normal index beyond the normals.
    readTextError(mesh(kQuad, "MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,1,0;; }\n"));
}

TEST(XFileNormalsTest, ZeroAndNonFiniteNormalsDoNotBreakTheMesh) {
    const xfile::Mesh m = readTextOk(mesh(kQuad,
                                          "MeshNormals { 2; 0;0;0;, 1e39;0;0;;\n"
                                          "2; 3;0,0,0;, 3;1,1,1;; }\n"));
    expectVector(m.vertices[0].normal, 0, 0, 0);
    EXPECT_EQ(m.triangleCount(), 2u);
}

// ---------------------------------------------------------------------------
// Texture coordinates and vertex colours

TEST(XFileTextureCoordsTest, OnePairPerVertex) {
    const xfile::Mesh m =
        readTextOk(mesh(kQuad, "MeshTextureCoords { 4; 0;1;, 1;1;, 1;0;, 0.5;0.25;; }\n"));
    EXPECT_EQ(m.fvf, xfile::kFvfXyz | xfile::kFvfTex1);
    EXPECT_FLOAT_EQ(m.vertices[3].u, 0.5f);
    EXPECT_FLOAT_EQ(m.vertices[3].v, 0.25f);
    EXPECT_EQ(m.vertexStride(), 20u);
}

TEST(XFileTextureCoordsTest, AnotherNumberOfPairsFails) {
    readTextError(mesh(kQuad, "MeshTextureCoords { 3; 0;1;, 1;1;, 1;0;; }\n"));
    readTextError(mesh(kQuad, "MeshTextureCoords { 5; 0;1;, 1;1;, 1;0;, 0;0;, 0;0;; }\n"));
}

TEST(XFileTextureCoordsTest, SplitVerticesKeepTheirCoordinates) {
    const xfile::Mesh m =
        readTextOk(mesh(kQuad,
                        "MeshTextureCoords { 4; 0;1;, 1;1;, 1;0;, 0;0;; }\n"
                        "MeshNormals { 2; 0;0;1;, 0;1;0;; 2; 3;0,0,0;, 3;1,1,1;; }\n"));
    ASSERT_EQ(m.vertices.size(), 6u);
    EXPECT_FLOAT_EQ(m.vertices[5].u, 1.0f);  // the copy of vertex 2
    EXPECT_FLOAT_EQ(m.vertices[5].v, 0.0f);
}

TEST(XFileVertexColoursTest, ColoursAreClampedRoundedAndDefaultToTransparentWhite) {
    const xfile::Mesh m = readTextOk(
        mesh(kQuad, "MeshVertexColors { 3; 0;1;0;0;1;;, 2;0.5;2;-1;0.2;;, 1;0;0;1;0;;; }\n"));
    EXPECT_EQ(m.fvf, xfile::kFvfXyz | xfile::kFvfDiffuse);
    EXPECT_EQ(m.vertices[0].diffuse, 0xFFFF0000u);
    EXPECT_EQ(m.vertices[1].diffuse, 0x000000FFu);
    EXPECT_EQ(m.vertices[2].diffuse, 0x3380FF00u);  // 0.2 * 255 + 0.5 = 51
    EXPECT_EQ(m.vertices[3].diffuse, 0x00FFFFFFu);  // not listed
}

TEST(XFileVertexColoursTest, ColourForAMissingVertexFails) {
    readTextError(mesh(kQuad, "MeshVertexColors { 1; 4;1;0;0;1;;; }\n"));
}

TEST(XFileVertexColoursTest, NaNComponentCountsAsZero) {
    // 1e39 overflows a float to infinity; inf - inf is NaN only in arithmetic,
    // so feed a NaN through a binary float list instead.
    xtest::Binary b;
    const float nan = std::nanf("");
    b.name("Mesh").open().integers({3}).floats({0, 0, 0, 1, 0, 0, 0, 1, 0});
    b.integers({1, 3, 0, 1, 2});
    b.name("MeshVertexColors").open().integers({1, 0}).floats({nan, 1, nan, 1}).close();
    b.close();
    xfile::Mesh m;
    std::string error;
    ASSERT_TRUE(xfile::readMesh(b.bytes(), m, error)) << error;
    EXPECT_EQ(m.vertices[0].diffuse, 0xFF00FF00u);
}

// ---------------------------------------------------------------------------
// Materials

const char* const kTwoMaterials =
    "Material { 1;0;0;0.5;; 7; 0.1;0.2;0.3;; 0.4;0.5;0.6;; TextureFilename { \"a b.bmp\"; } }\n"
    "Material { 0;1;0;1;; 0; 0;0;0;; 0;0;0;; }\n";

TEST(XFileMaterialsTest, MaterialFieldsAsTheLibraryGivesThem) {
    const xfile::Mesh m = readTextOk(
        mesh(kQuad, std::string("MeshMaterialList { 2; 2; 0, 1; ") + kTwoMaterials + "}\n"));
    ASSERT_EQ(m.materials.size(), 2u);
    const platform::Material& first = m.materials[0].material;
    EXPECT_FLOAT_EQ(first.diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(first.diffuse.a, 0.5f);
    EXPECT_FLOAT_EQ(first.power, 7.0f);
    EXPECT_FLOAT_EQ(first.specular.b, 0.3f);
    EXPECT_FLOAT_EQ(first.specular.a, 1.0f);
    EXPECT_FLOAT_EQ(first.emissive.g, 0.5f);
    EXPECT_FLOAT_EQ(first.emissive.a, 1.0f);
    EXPECT_FLOAT_EQ(first.ambient.r, 0.0f);
    EXPECT_FLOAT_EQ(first.ambient.a, 1.0f);
    EXPECT_EQ(m.materials[0].textureFilename, "a b.bmp");
    EXPECT_FALSE(m.materials[1].textureFilename.has_value());
}

TEST(XFileMaterialsTest, SubsetIHoldsTheFacesOfMaterialIInFileOrder) {
    const xfile::Mesh m = readTextOk(
        mesh("5; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;, 2;2;0;;\n"
             "4; 3;0,1,2;, 3;1,2,4;, 3;0,2,3;, 3;2,3,4;;\n",
             std::string("MeshMaterialList { 2; 4; 1, 0, 1, 0; ") + kTwoMaterials + "}\n"));
    ASSERT_EQ(m.subsets.size(), 2u);
    EXPECT_EQ(m.subsets[0].faceStart, 0u);
    EXPECT_EQ(m.subsets[0].faceCount, 2u);
    EXPECT_EQ(m.subsets[1].faceStart, 2u);
    EXPECT_EQ(m.subsets[1].faceCount, 2u);
    EXPECT_EQ(m.indices, (std::vector<uint32_t>{1, 2, 4, 2, 3, 4, 0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(m.subsets[0].vertexStart, 1u);
    EXPECT_EQ(m.subsets[0].vertexCount, 4u);
    EXPECT_EQ(m.subsets[1].vertexStart, 0u);
    EXPECT_EQ(m.subsets[1].vertexCount, 4u);
}

TEST(XFileMaterialsTest, MaterialWithoutFacesHasAnEmptySubset) {
    const xfile::Mesh m = readTextOk(
        mesh(kQuad, std::string("MeshMaterialList { 2; 2; 1, 1; ") + kTwoMaterials + "}\n"));
    ASSERT_EQ(m.subsets.size(), 2u);
    EXPECT_EQ(m.subsets[0].faceCount, 0u);
    EXPECT_EQ(m.subsets[0].vertexCount, 0u);
    EXPECT_EQ(m.subsets[1].faceCount, 2u);
}

TEST(XFileMaterialsTest, ShortFaceListRepeatsItsLastIndex) {
    const xfile::Mesh m =
        readTextOk(mesh("5; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;, 2;2;0;;\n"
                        "3; 3;0,1,2;, 3;1,2,4;, 3;0,2,3;;\n",
                        std::string("MeshMaterialList { 2; 1; 1; ") + kTwoMaterials + "}\n"));
    EXPECT_EQ(m.subsets[0].faceCount, 0u);
    EXPECT_EQ(m.subsets[1].faceCount, 3u);
}

TEST(XFileMaterialsTest, EmptyFaceListUsesTheFirstMaterial) {
    const xfile::Mesh m =
        readTextOk(mesh(kQuad, std::string("MeshMaterialList { 2; 0;; ") + kTwoMaterials + "}\n"));
    EXPECT_EQ(m.subsets[0].faceCount, 2u);
}

TEST(XFileMaterialsTest, CountsThatDoNotAddUpFail) {
    // A face index beyond the materials.
    readTextError(
        mesh(kQuad, std::string("MeshMaterialList { 2; 2; 0, 2; ") + kTwoMaterials + "}\n"));
    // Fewer materials than declared.
    readTextError(mesh(
        kQuad, "MeshMaterialList { 2; 2; 0, 1; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } }\n"));
    // More than declared.
    readTextError(
        mesh(kQuad, std::string("MeshMaterialList { 1; 2; 0, 0; ") + kTwoMaterials + "}\n"));
    // A material with another number of values.
    readTextError(mesh(
        kQuad, "MeshMaterialList { 1; 1; 0; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; 5; } }\n"));
}

TEST(XFileMaterialsTest, NoMaterialListGivesTheLibrarysDefaultMaterial) {
    const xfile::Mesh m = readTextOk(mesh(kQuad));
    ASSERT_EQ(m.materials.size(), 1u);
    const platform::Material& d = m.materials[0].material;
    EXPECT_FLOAT_EQ(d.diffuse.r, 0.5f);
    EXPECT_FLOAT_EQ(d.diffuse.a, 0.0f);
    EXPECT_FLOAT_EQ(d.specular.g, 0.5f);
    EXPECT_FLOAT_EQ(d.power, 0.0f);
    EXPECT_FALSE(m.materials[0].textureFilename.has_value());
    EXPECT_EQ(m.subsets[0].faceCount, 2u);
}

TEST(XFileMaterialsTest, ListOfNoMaterialsCountsAsNone) {
    const xfile::Mesh m = readTextOk(mesh(kQuad, "MeshMaterialList { 0; 2; 5, 7; }\n"));
    ASSERT_EQ(m.materials.size(), 1u);
    EXPECT_FLOAT_EQ(m.materials[0].material.diffuse.r, 0.5f);
}

TEST(XFileMaterialsTest, MeshesWithoutMaterialsShareOneDefaultAfterTheOthers) {
    const std::string tri = "3; 0;0;0;, 1;0;0;, 0;1;0;;\n 1; 3;0,1,2;;\n";
    const xfile::Mesh m = readTextOk(
        mesh(tri) + mesh(tri, std::string("MeshMaterialList { 2; 1; 1; ") + kTwoMaterials + "}\n") +
        mesh(tri));
    ASSERT_EQ(m.materials.size(), 3u);
    EXPECT_FLOAT_EQ(m.materials[2].material.diffuse.r, 0.5f);
    EXPECT_EQ(m.subsets[0].faceCount, 0u);
    EXPECT_EQ(m.subsets[1].faceCount, 1u);
    EXPECT_EQ(m.subsets[2].faceCount, 2u);
    // Each mesh's vertices follow the previous mesh's.
    EXPECT_EQ(m.indices[3 * m.subsets[1].faceStart], 3u);
}

TEST(XFileMaterialsTest, TextureNamesKeepTheirRawBytes) {
    // "フィルター.bmp" in code page 932, and a name with a semicolon and braces.
    const std::string filter = "\x83\x74\x83\x42\x83\x8B\x83\x5E\x81\x5B.bmp";
    const xfile::Mesh m = readTextOk(mesh(
        kQuad,
        "MeshMaterialList { 2; 2; 0, 1;\n"
        "Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { \"" +
            filter +
            "\"; } }\n"
            "Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFileName { \"x;{y}.png\"; } }\n}\n"));
    EXPECT_EQ(m.materials[0].textureFilename, filter);
    EXPECT_EQ(m.materials[1].textureFilename, "x;{y}.png");
}

TEST(XFileMaterialsTest, MaterialBufferHandsTheNamesOutAsCStrings) {
    std::vector<xfile::MeshMaterial> materials(3);
    materials[0].material.power = 3.0f;
    materials[0].textureFilename = std::string("a.bmp\0tail", 10);
    materials[2].textureFilename = std::string("b.png");
    auto* buffer = new d3dx::MaterialBuffer(materials);
    ASSERT_EQ(buffer->GetBufferSize(), 3 * sizeof(platform::MeshMaterial));
    const auto* entries = static_cast<const platform::MeshMaterial*>(buffer->GetBufferPointer());
    EXPECT_FLOAT_EQ(entries[0].material.power, 3.0f);
    EXPECT_STREQ(entries[0].textureFilename, "a.bmp");
    EXPECT_EQ(entries[1].textureFilename, nullptr);
    EXPECT_STREQ(entries[2].textureFilename, "b.png");
    buffer->AddRef();
    EXPECT_EQ(buffer->Release(), 1u);
    EXPECT_EQ(buffer->Release(), 0u);
}

TEST(XFileMaterialsTest, TheLastMaterialListAndTextureNameCount) {
    const xfile::Mesh m = readTextOk(
        mesh(kQuad,
             "MeshMaterialList { 1; 1; 0; Material { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; } }\n"
             "MeshMaterialList { 1; 1; 0; Material { 0;0;1;1;; 0; 0;0;0;; 0;0;0;;\n"
             "  TextureFilename { \"first.bmp\"; } TextureFilename { \"second.bmp\"; } } }\n"));
    ASSERT_EQ(m.materials.size(), 1u);
    EXPECT_FLOAT_EQ(m.materials[0].material.diffuse.b, 1.0f);
    EXPECT_EQ(m.materials[0].textureFilename, "second.bmp");
}

// ---------------------------------------------------------------------------
// References

const char* const kRedMaterial =
    "Material Red { <11111111-2222-3333-4444-555555555555> 1;0;0;1;; 3; 0;0;0;; 0;0;0;; }\n";

TEST(XFileReferencesTest, MaterialByNameAndByUuid) {
    for (const char* reference : {"{ Red }", "{ <11111111-2222-3333-4444-555555555555> }",
                                  "{ Red <11111111-2222-3333-4444-555555555555> }",
                                  "{ Missing <11111111-2222-3333-4444-555555555555> }"}) {
        SCOPED_TRACE(reference);
        const xfile::Mesh m = readTextOk(
            std::string(kRedMaterial) +
            mesh(kQuad, std::string("MeshMaterialList { 1; 1; 0; ") + reference + " }\n"));
        ASSERT_EQ(m.materials.size(), 1u);
        EXPECT_FLOAT_EQ(m.materials[0].material.power, 3.0f);
    }
}

TEST(XFileReferencesTest, ReferenceToAnUndeclaredObjectFails) {
    readTextError(mesh(kQuad, "MeshMaterialList { 1; 1; 0; { Red } }\n") + kRedMaterial);
    readTextError(std::string(kRedMaterial) +
                  mesh(kQuad, "MeshMaterialList { 1; 1; 0; { red } }\n"));  // names keep case
    readTextError(std::string(kRedMaterial) + mesh(kQuad, "MeshMaterialList { 1; 1; 0; { } }\n"));
}

TEST(XFileReferencesTest, NamesNestedInSkippedObjectsCanBeReferred) {
    const xfile::Mesh m =
        readTextOk("Wrapper { 1; 2; \"text\"; Inner { " + std::string(kRedMaterial) + " } }\n" +
                   mesh(kQuad, "MeshMaterialList { 1; 1; 0; { Red } }\n"));
    EXPECT_FLOAT_EQ(m.materials[0].material.diffuse.r, 1.0f);
}

TEST(XFileReferencesTest, TheFirstObjectOfANameCounts) {
    const xfile::Mesh m =
        readTextOk(std::string(kRedMaterial) + "Material Red { 0;0;1;1;; 9; 0;0;0;; 0;0;0;; }\n" +
                   mesh(kQuad, "MeshMaterialList { 1; 1; 0; { Red } }\n"));
    EXPECT_FLOAT_EQ(m.materials[0].material.power, 3.0f);
}

TEST(XFileReferencesTest, MeshUsedTwiceThroughFrames) {
    const xfile::Mesh m = readTextOk(
        "Frame A { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,5,1;; }\n" +
        std::string("Mesh tri { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; } }\n") +
        "Frame B { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,3,0,1;; } { tri } }\n");
    ASSERT_EQ(m.vertices.size(), 6u);
    expectVector(m.vertices[1].position, 1, 0, 5);
    expectVector(m.vertices[4].position, 1, 3, 0);
}

TEST(XFileReferencesTest, ObjectCannotReferToItself) {
    readTextError("Frame Loop { { Loop } " + mesh(kQuad) + "}\n");
}

TEST(XFileReferencesTest, ChainsOfReferencesAreCutOffByTheWorkLimit) {
    // Each frame uses the previous one twice: 2^40 meshes if followed.
    std::string text = "Frame F0 { " + mesh(kQuad) + "}\n";
    for (int i = 1; i <= 40; ++i) {
        text += "Frame F" + std::to_string(i) + " { {F" + std::to_string(i - 1) + "} {F" +
                std::to_string(i - 1) + "} }\n";
    }
    const std::string error = readTextError(text);
    EXPECT_FALSE(error.empty());
}

// ---------------------------------------------------------------------------
// Frames

TEST(XFileFramesTest, MatricesApplyInnerFirst) {
    // Inner: scale x by 2; outer: turn 90 degrees about z, then move by
    // (10, 0, 0).
    const xfile::Mesh m = readTextOk(
        "Frame Outer {\n"
        "  FrameTransformMatrix { 0,1,0,0, -1,0,0,0, 0,0,1,0, 10,0,0,1;; }\n"
        "  Frame Inner {\n"
        "    FrameTransformMatrix { 2,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }\n"
        "    Mesh { 3; 1;0;0;, 0;1;0;, 0;0;1;; 1; 3;0,1,2;;\n"
        "      MeshNormals { 1; 1;1;0;; 1; 3;0,0,0;; } }\n"
        "  }\n"
        "}\n");
    ASSERT_EQ(m.vertices.size(), 3u);
    expectVector(m.vertices[0].position, 10, 2, 0);  // (2,0,0) turned, moved
    expectVector(m.vertices[1].position, 9, 0, 0);   // (0,1,0) turned, moved
    expectVector(m.vertices[2].position, 10, 0, 1);
    // The normal (1,1,0)/sqrt2 through the inverse transpose of the scale is
    // (0.5,1,0) normalised, then turned: (-1, 0.5, 0) normalised.
    const float s = 1.0f / std::sqrt(1.25f);
    expectVector(m.vertices[0].normal, -1.0f * s, 0.5f * s, 0);
}

TEST(XFileFramesTest, EachMatrixMovesWhatFollowsItOnTopOfTheOnesBefore) {
    // Meshes at z = 0, 2, 2 (+10 in x, in the child frame) and 5: in text
    // and binary alike (the corpus file, written by tools/make-x-corpus.py).
    for (const char* file : {"frame_sequence.txt.x", "frame_sequence.bin.x"}) {
        SCOPED_TRACE(file);
        xfile::Mesh m;
        std::string error;
        ASSERT_TRUE(xfile::readMesh(xtest::corpusFile(file), m, error)) << error;
        ASSERT_EQ(m.vertices.size(), 12u);
        expectVector(m.vertices[2].position, 1, 1, 0);
        expectVector(m.vertices[5].position, 2, 1, 2);
        expectVector(m.vertices[8].position, 14, 1, 2);
        expectVector(m.vertices[11].position, 3, 1, 5);
    }
    // Two matrices before a mesh: the later acts first (scale by 2, then
    // move by (1, 2, 3)), as a child frame's matrix would; the matrix after
    // the mesh moves nothing.
    const xfile::Mesh m = readTextOk(
        "Frame {\n"
        "  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 1,2,3,1;; }\n"
        "  FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 0,0,0,1;; }\n"
        "  Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n"
        "  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 7,7,7,1;; }\n"
        "}\n" +
        mesh("3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"));
    expectVector(m.vertices[1].position, 3, 2, 3);
    expectVector(m.vertices[4].position, 1, 0, 0);  // after the frame: none
}

TEST(XFileFramesTest, MirroringMatrixKeepsNormalsOutward) {
    const xfile::Mesh m = readTextOk(
        "Frame { FrameTransformMatrix { -1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }\n"
        "  Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
        "    MeshNormals { 1; 1;0;0;; 1; 3;0,0,0;; } } }\n");
    expectVector(m.vertices[0].normal, -1, 0, 0);
    expectVector(m.vertices[1].position, -1, 0, 0);
}

TEST(XFileFramesTest, ProjectiveMatrixDividesByW) {
    const xfile::Mesh m = readTextOk(
        "Frame { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,2;; }\n"
        "  Mesh { 3; 2;4;6;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; } }\n");
    expectVector(m.vertices[0].position, 1, 2, 3);
}

TEST(XFileFramesTest, TopLevelMeshesAndFramesAreMergedInFileOrder) {
    const xfile::Mesh m =
        readTextOk(mesh("3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n") +
                   "Frame { Frame { Mesh { 3; 5;0;0;, 6;0;0;, 5;1;0;; 1; 3;0,1,2;;\n"
                   "  MeshTextureCoords { 3; 0;0;, 1;0;, 0;1;; } } } }\n");
    EXPECT_EQ(m.fvf, xfile::kFvfXyz | xfile::kFvfTex1);
    ASSERT_EQ(m.vertices.size(), 6u);
    expectVector(m.vertices[3].position, 5, 0, 0);
    EXPECT_FLOAT_EQ(m.vertices[4].u, 1.0f);
    EXPECT_EQ(m.indices, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5}));
}

TEST(XFileFramesTest, MergedMeshesFillWhatTheyLack) {
    const xfile::Mesh m = readTextOk(mesh("3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n") +
                                     mesh("3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n",
                                          "MeshNormals { 1; 0;0;1;; 1; 3;0,0,0;; }\n"
                                          "MeshVertexColors { 1; 0;1;0;0;1;;; }\n"));
    EXPECT_EQ(m.fvf, xfile::kFvfXyz | xfile::kFvfNormal | xfile::kFvfDiffuse);
    expectVector(m.vertices[0].normal, 0, 0, 0);
    EXPECT_EQ(m.vertices[0].diffuse, 0xFFFFFFFFu);
    EXPECT_EQ(m.vertices[3].diffuse, 0xFFFF0000u);
    EXPECT_EQ(m.vertices[4].diffuse, 0x00FFFFFFu);
}

// ---------------------------------------------------------------------------
// What the reader passes over

TEST(XFileSkippingTest, TemplatesAndOtherObjectsArePassedOver) {
    const xfile::Mesh m = readTextOk(
        "template Thing { <01234567-89AB-CDEF-0123-456789ABCDEF> DWORD n; array FLOAT v[n];"
        " STRING s; [Material <3D82AB4D-62DA-11CF-AB39-0020AF71E433>, Other] }\n"
        "TEMPLATE Open { <01234567-89AB-CDEF-0123-456789ABCDEF> [...] }\n"
        "Header { 1; 0; 1; }\n"
        "Thing named { 2; 1.5, 2.5; \"}{;\"; Thing { 0;; \"\"; } { Ref } }\n" +
        mesh(kQuad, "Thing { 1; 2; \"x\"; } VertexDuplicationIndices { 4; 4; 0, 1, 2, 3; }\n"));
    EXPECT_EQ(m.triangleCount(), 2u);
}

TEST(XFileSkippingTest, CommentsOfBothKinds) {
    const xfile::Mesh m = readTextOk(
        "# a comment { not an object\n"
        "Mesh { // 3 vertices } still a comment\n"
        "3; 0;0;0;, 1;0;0;, 0;1;0;; # trailing\n"
        "1; 3;0,1,2;; }\n// at the very end without a newline");
    EXPECT_EQ(m.triangleCount(), 1u);
}

TEST(XFileSkippingTest, TypeNamesMatchInAnyCase) {
    const xfile::Mesh m = readTextOk(
        "mesh { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;; 2; 3;0,1,2;, 3;0,2,3;;\n"
        "  meshtexturecoords { 4; 0;0;, 1;0;, 1;1;, 0;1;; } }\n");
    EXPECT_EQ(m.fvf, xfile::kFvfXyz | xfile::kFvfTex1);
}

TEST(XFileSkippingTest, MalformedSyntaxFails) {
    readTextError("Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n");  // no closing brace
    readTextError(mesh(kQuad) + "}\n");                                 // one too many
    readTextError("Mesh 3; 0;0;0;;\n");                                 // no opening brace
    readTextError("template { }\n" + mesh(kQuad));
    readTextError("template T { <01234567-89AB-CDEF-0123-456789ABCDEF> { } }\n" + mesh(kQuad));
    readTextError(mesh(kQuad, "Thing { \"unterminated }\n}\n"));
    readTextError(mesh(kQuad, "Thing { <0123-bad> }\n"));
    readTextError(mesh(kQuad, "Thing { @ }\n"));
    readTextError(mesh("99999999999; 0;0;0;;\n 0;;\n"));  // beyond 32 bits
}

TEST(XFileSkippingTest, NamesMayHoldCodePage932Bytes) {
    const xfile::Mesh m =
        readTextOk("Frame \x83\x74\x83\x8C\x81\x5B\x83\x80 { " + mesh(kQuad) + "}\n");
    EXPECT_EQ(m.triangleCount(), 2u);
}

// ---------------------------------------------------------------------------
// Output layout

TEST(XFileLayoutTest, PackedVerticesFollowTheVertexFormat) {
    const xfile::Mesh m = readTextOk(mesh("3; 1;2;3;, 4;5;6;, 7;8;9;;\n 1; 3;0,1,2;;\n",
                                          "MeshNormals { 1; 0;0;1;; 1; 3;0,0,0;; }\n"
                                          "MeshVertexColors { 1; 1;1;0;0;1;;; }\n"
                                          "MeshTextureCoords { 3; 0.5;0.25;, 0;0;, 0;0;; }\n"));
    ASSERT_EQ(m.fvf, 0x152u);
    ASSERT_EQ(m.vertexStride(), 36u);
    const std::vector<uint8_t> packed = m.packedVertices();
    ASSERT_EQ(packed.size(), 3u * 36u);
    float f[9];
    uint32_t colour;
    std::memcpy(f, packed.data() + 36, 24);
    std::memcpy(&colour, packed.data() + 36 + 24, 4);
    std::memcpy(f + 6, packed.data() + 36 + 28, 8);
    EXPECT_EQ(f[0], 4.0f);
    EXPECT_EQ(f[2], 6.0f);
    EXPECT_EQ(f[5], 1.0f);
    EXPECT_EQ(colour, 0xFFFF0000u);
    EXPECT_EQ(f[6], 0.0f);
    float uv[2];
    std::memcpy(uv, packed.data() + 28, 8);
    EXPECT_EQ(uv[0], 0.5f);
    EXPECT_EQ(uv[1], 0.25f);
}

TEST(XFileLayoutTest, LargeMeshesNeed32BitIndices) {
    // A binary strip of 70000 vertices and 69998 triangles.
    constexpr uint32_t kVertices = 70000;
    std::vector<float> positions;
    std::vector<uint32_t> faces{kVertices - 2};
    for (uint32_t i = 0; i < kVertices; ++i) {
        positions.insert(positions.end(),
                         {static_cast<float>(i / 2), static_cast<float>(i % 2), 0});
    }
    for (uint32_t i = 0; i + 2 < kVertices; ++i) faces.insert(faces.end(), {3, i, i + 1, i + 2});
    xtest::Binary b;
    b.name("Mesh").open().integers({kVertices}).floats(positions).integers(faces).close();
    xfile::Mesh m;
    std::string error;
    ASSERT_TRUE(xfile::readMesh(b.bytes(), m, error)) << error;
    EXPECT_TRUE(m.needs32BitIndices());
    EXPECT_EQ(m.indices[3 * 69997 + 2], kVertices - 1);
    EXPECT_FALSE(readTextOk(mesh(kQuad)).needs32BitIndices());
    EXPECT_EQ(readTextOk(mesh(kQuad)).indices16(), (std::vector<uint16_t>{0, 1, 2, 0, 2, 3}));
}

}  // namespace
