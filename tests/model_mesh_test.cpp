#include "render/model_mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "app/application.h"
#include "controls/viewer_state.h"
#include "fake/fake_platform.h"
#include "fake_test_support.h"
#include "render/graphics_device.h"
#include "render/tint_quad.h"

namespace {

using platform::Vector3;

class ModelMeshTest : public fake_test::FakeTest {
protected:
    void SetUp() override {
        FakeTest::SetUp();
        ASSERT_TRUE(fake_test::startGraphics());
        baseline = fake::state().liveObjects;
        fake::state().clearLog();
    }

    static fake::MeshMaterialSpec textured(const std::string& name, float red) {
        fake::MeshMaterialSpec entry{fake::material(red, 0.5f, 0.25f, 1.0f), name};
        entry.material.ambient = {0.1f, 0.1f, 0.1f, 0.1f};
        return entry;
    }
    static fake::MeshMaterialSpec plain(float red) {
        fake::MeshMaterialSpec entry{fake::material(red, 0.0f, 0.0f, 0.5f), std::nullopt};
        entry.material.ambient = {0.9f, 0.9f, 0.9f, 0.9f};
        return entry;
    }

    // Names of the calls whose name contains `part`.
    static std::vector<std::string> callsContaining(const std::string& part) {
        std::vector<std::string> found;
        for (const fake::Call& call : fake::state().calls)
            if (call.name.find(part) != std::string::npos) found.push_back(call.text());
        return found;
    }

    int baseline = 0;
};

TEST_F(ModelMeshTest, LoadsMeshMaterialsAndOneTexturePerMaterial) {
    fake::state().meshFiles["model.x"] = {{textured("skin.bmp", 1.0f), plain(0.75f)}};
    fake::state().textureFiles = {"skin.bmp"};

    ModelMesh model;
    model.load("model.x");

    EXPECT_EQ(fake::state().log(),
              (std::vector<std::string>{
                  "D3DXLoadMeshFromX(model.x, 0x110, device, null, &, null, &, &)",
                  "Buffer#5.GetBufferPointer()",
                  "D3DXCreateTextureFromFile(device, skin.bmp, &)",
                  "Buffer#5.Release()",
              }));
    ASSERT_EQ(model.materialCount, 2u);
    ASSERT_EQ(model.materials.size(), 2u);
    ASSERT_EQ(model.textures.size(), 2u);
    EXPECT_TRUE(model.mesh);
    EXPECT_TRUE(model.textures[0]);
    EXPECT_FALSE(model.textures[1]);
    // Ambient is the diffuse colour, whatever the file says.
    for (const platform::Material& material : model.materials) {
        EXPECT_EQ(material.ambient.r, material.diffuse.r);
        EXPECT_EQ(material.ambient.g, material.diffuse.g);
        EXPECT_EQ(material.ambient.b, material.diffuse.b);
        EXPECT_EQ(material.ambient.a, material.diffuse.a);
    }
    EXPECT_EQ(model.materials[0].diffuse.r, 1.0f);
    EXPECT_EQ(model.materials[1].diffuse.r, 0.75f);
    EXPECT_EQ(model.materials[1].diffuse.a, 0.5f);
    // The mesh and one texture remain; the buffer is gone.
    EXPECT_EQ(fake::state().liveObjects, baseline + 2);
}

TEST_F(ModelMeshTest, MaterialsWithoutAUsableTextureStayUntextured) {
    fake::MeshMaterialSpec emptyName = plain(0.3f);
    emptyName.texture = "";
    fake::state().meshFiles["model.x"] = {
        {textured("missing.bmp", 0.1f), plain(0.2f), emptyName, textured("skin.bmp", 0.4f)}};
    fake::state().textureFiles = {"skin.bmp"};

    ModelMesh model;
    model.load("model.x");

    // Only names that are there are handed to the library.
    EXPECT_EQ(callsContaining("CreateTexture"),
              (std::vector<std::string>{"D3DXCreateTextureFromFile(device, missing.bmp, &)",
                                        "D3DXCreateTextureFromFile(device, skin.bmp, &)"}));
    ASSERT_EQ(model.materialCount, 4u);
    EXPECT_FALSE(model.textures[0]);
    EXPECT_FALSE(model.textures[1]);
    EXPECT_FALSE(model.textures[2]);
    EXPECT_TRUE(model.textures[3]);
}

TEST_F(ModelMeshTest, TwoMaterialsNamingOneFileHoldTwoTexturesEachReleasedOnce) {
    fake::state().meshFiles["model.x"] = {{textured("skin.bmp", 1.0f), textured("skin.bmp", 0.5f)}};
    fake::state().textureFiles = {"skin.bmp"};

    auto model = std::make_unique<ModelMesh>();
    model->load("model.x");
    ASSERT_TRUE(model->textures[0] && model->textures[1]);
    EXPECT_NE(model->textures[0].get(), model->textures[1].get());

    fake::state().clearLog();
    model.reset();
    EXPECT_EQ(
        fake::state().names(),
        (std::vector<std::string>{"Texture#7.Release", "Texture#8.Release", "Mesh#6.Release"}));
    EXPECT_EQ(fake::state().overReleases, 0);
    EXPECT_EQ(fake::state().liveObjects, baseline);
}

TEST_F(ModelMeshTest, ReleaseGivesUpTexturesThenMeshAndIsIdempotent) {
    fake::state().meshFiles["model.x"] = {{textured("skin.bmp", 1.0f), plain(0.5f)}};
    fake::state().textureFiles = {"skin.bmp"};
    auto model = std::make_unique<ModelMesh>();
    model->load("model.x");
    fake::state().clearLog();

    model->release();
    EXPECT_EQ(fake::state().names(),
              (std::vector<std::string>{"Texture#7.Release", "Mesh#6.Release"}));
    EXPECT_EQ(model->materialCount, 0u);
    EXPECT_TRUE(model->materials.empty());
    EXPECT_TRUE(model->textures.empty());
    EXPECT_FALSE(model->mesh);

    // A second release and the destructor find nothing left.
    fake::state().clearLog();
    model->release();
    model.reset();
    EXPECT_TRUE(fake::state().calls.empty());
    EXPECT_EQ(fake::state().overReleases, 0);
    EXPECT_EQ(fake::state().liveObjects, baseline);
}

// Every way the file can fail gives an empty model that sets the world
// transform, draws nothing and releases cleanly.
TEST_F(ModelMeshTest, AFileThatGivesNoUsableModelLeavesAnEmptyModel) {
    struct Case {
        const char* what;
        bool registered;
        fake::MeshFile file;
    };
    fake::MeshFile noMesh{{plain(1.0f)}};
    noMesh.hasMesh = false;
    fake::MeshFile noBuffer{{plain(1.0f)}};
    noBuffer.hasMaterialBuffer = false;
    fake::MeshFile failed{{plain(1.0f)}};
    failed.result = static_cast<int32_t>(0x88760b59);
    const Case cases[] = {
        {"missing file", false, {}},
        {"load fails", true, failed},
        {"no mesh", true, noMesh},
        {"no material buffer", true, noBuffer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake::state().meshFiles.clear();
        if (c.registered) fake::state().meshFiles["model.x"] = c.file;
        fake::state().clearLog();

        auto model = std::make_unique<ModelMesh>();
        model->load("model.x");
        EXPECT_EQ(model->materialCount, 0u);
        EXPECT_FALSE(model->mesh);
        EXPECT_TRUE(model->materials.empty());
        EXPECT_TRUE(model->textures.empty());
        EXPECT_EQ(fake::state().count("D3DXCreateTextureFromFile"), 0u);
        // What did come back is given up at once.
        EXPECT_EQ(fake::state().liveObjects, baseline);

        fake::state().clearLog();
        model->draw({0.0f, 2.2f, 0.0f}, {});
        EXPECT_EQ(fake::state().log(), (std::vector<std::string>{"Device#2.SetTransform(256, &)"}));
        model.reset();
        EXPECT_EQ(fake::state().overReleases, 0);
        EXPECT_EQ(fake::state().liveObjects, baseline);
    }
}

TEST_F(ModelMeshTest, NeverReadsMoreMaterialsThanTheBufferHolds) {
    fake::MeshFile file{{textured("skin.bmp", 1.0f), plain(0.5f)}};
    file.reportedMaterialCount = 1000;
    fake::state().meshFiles["model.x"] = file;
    fake::state().textureFiles = {"skin.bmp"};

    ModelMesh model;
    model.load("model.x");
    EXPECT_EQ(model.materialCount, 2u);
    EXPECT_EQ(model.materials.size(), 2u);
    EXPECT_EQ(model.textures.size(), 2u);
}

TEST_F(ModelMeshTest, AFileWithNoMaterialsDrawsNoSubset) {
    fake::state().meshFiles["model.x"] = {};
    ModelMesh model;
    model.load("model.x");
    EXPECT_EQ(model.materialCount, 0u);
    fake::state().clearLog();
    model.draw({}, {});
    EXPECT_EQ(fake::state().names(), (std::vector<std::string>{"Device#2.SetTransform"}));
}

TEST_F(ModelMeshTest, DrawSetsTheWorldThenEachSubsetWithItsMaterialAndTexture) {
    fake::state().meshFiles["model.x"] = {{textured("skin.bmp", 1.0f), plain(0.5f)}};
    fake::state().textureFiles = {"skin.bmp"};
    ModelMesh model;
    model.load("model.x");
    fake::state().clearLog();

    model.draw({0.0f, 2.2f, 0.0f}, {0.0f, 0.0f, 0.0f});

    EXPECT_EQ(fake::state().log(), (std::vector<std::string>{
                                       "Device#2.SetTransform(256, &)",
                                       "Device#2.SetMaterial(&)",
                                       "Device#2.SetTexture(0, Texture#7)",
                                       "Mesh#6.DrawSubset(0)",
                                       "Device#2.SetMaterial(&)",
                                       "Device#2.SetTexture(0, null)",
                                       "Mesh#6.DrawSubset(1)",
                                   }));
    ASSERT_EQ(fake::state().materials.size(), 2u);
    EXPECT_EQ(fake::state().materials[0].diffuse.r, 1.0f);
    EXPECT_EQ(fake::state().materials[0].ambient.g, 0.5f);
    EXPECT_EQ(fake::state().materials[1].diffuse.r, 0.5f);
    EXPECT_EQ(fake::state().materials[1].ambient.r, 0.5f);

    // With no rotation the world is the pure translation by the position.
    platform::Matrix translation{};
    for (int i = 0; i < 4; ++i) translation.m[i][i] = 1.0f;
    translation.m[3][1] = 2.2f;
    ASSERT_EQ(fake::state().transforms.size(), 1u);
    EXPECT_EQ(fake::state().transforms[0], translation);
}

// Row vector p times the matrix.
Vector3 transformPoint(const platform::Matrix& m, const Vector3& p) {
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

void expectNear(const Vector3& actual, const Vector3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5);
    EXPECT_NEAR(actual.y, expected.y, 1e-5);
    EXPECT_NEAR(actual.z, expected.z, 1e-5);
}

TEST(ModelWorldMatrixTest, TurnsAboutZThenXThenYThenMoves) {
    const float quarter = std::numbers::pi_v<float> / 2;
    const platform::Matrix world =
        modelWorldMatrix({1.0f, 2.0f, 3.0f}, {quarter, quarter, quarter});
    // +x: about z to +y, about x to +z, about y to +x; then moved.
    expectNear(transformPoint(world, {1, 0, 0}), {2, 2, 3});
    // +y: about z to -x, about x stays, about y to +z.
    expectNear(transformPoint(world, {0, 1, 0}), {1, 2, 4});
    // +z: about z stays, about x to -y, about y stays.
    expectNear(transformPoint(world, {0, 0, 1}), {1, 1, 3});
    // The origin goes to the position.
    expectNear(transformPoint(world, {0, 0, 0}), {1, 2, 3});
}

TEST(ModelWorldMatrixTest, DependsOnTheOrderOfTheTurns) {
    // With turns about x and y only, the other order would take +z to -y.
    const float quarter = std::numbers::pi_v<float> / 2;
    const platform::Matrix world = modelWorldMatrix({}, {quarter, quarter, 0.0f});
    expectNear(transformPoint(world, {0, 0, 1}), {0, -1, 0});
    expectNear(transformPoint(world, {0, 1, 0}), {1, 0, 0});
}

TEST_F(ModelMeshTest, ShutdownDestroysTheQuadThenTheModelThenTheDevice) {
    fake::state().meshFiles["model.x"] = {{textured("skin.bmp", 1.0f)}};
    fake::state().textureFiles = {"skin.bmp"};
    viewerState().overlay = std::make_unique<TintQuad>();
    viewerState().model = std::make_unique<ModelMesh>();
    viewerState().model->load("model.x");
    bool quadGoneWhenModelReleased = false;
    fake::state().onCall = [&](const fake::Call& call) {
        if (call.name == "Mesh#6.Release") quadGoneWhenModelReleased = !viewerState().overlay;
    };
    fake::state().clearLog();

    shutDown();
    fake::state().onCall = nullptr;

    EXPECT_TRUE(quadGoneWhenModelReleased);
    const std::vector<std::string> releases = fake::state().namesMatching(
        {"Texture", "Mesh", "Device", "Font", "DirectInput", "Direct3D"});
    ASSERT_GE(releases.size(), 3u);
    EXPECT_EQ(releases[0], "Texture#7.Release");
    EXPECT_EQ(releases[1], "Mesh#6.Release");
    EXPECT_FALSE(viewerState().model);
    EXPECT_EQ(fake::state().liveObjects, 0);
}

}  // namespace
