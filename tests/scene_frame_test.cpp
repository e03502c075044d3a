#include "render/scene_frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "controls/viewer_state.h"
#include "fake/fake_platform.h"
#include "fake_test_support.h"
#include "render/graphics_device.h"
#include "render/model_mesh.h"
#include "render/status_text.h"
#include "render/tint_quad.h"

namespace {

using platform::Matrix;
using platform::Vector3;

class SceneFrameTest : public fake_test::FakeTest {
protected:
    void SetUp() override {
        FakeTest::SetUp();
        ASSERT_TRUE(fake_test::startGraphics());
        fake::state().meshFiles["model.x"] = {{{fake::material(1, 1, 1), "skin.bmp"}}};
        fake::state().textureFiles = {"skin.bmp"};
        viewerState().overlay = std::make_unique<TintQuad>();
        viewerState().model = std::make_unique<ModelMesh>();
        viewerState().model->load("model.x");
        fake::state().clearLog();
    }

    // The calls of the frame, with the tint quad's ten folded into one line.
    static std::vector<std::string> frameOutline() {
        std::vector<std::string> outline;
        for (const fake::Call& call : fake::state().calls) {
            const std::string text = call.text();
            const bool quad = text.find("SetTextureStageState") != std::string::npos ||
                              text.find("SetRenderState(27") != std::string::npos ||
                              text.find("SetRenderState(19") != std::string::npos ||
                              text.find("SetRenderState(20") != std::string::npos ||
                              text.find("SetFVF") != std::string::npos ||
                              text.find("DrawPrimitiveUP") != std::string::npos ||
                              text == "Device#2.SetTexture(0, null)";
            if (!quad) {
                outline.push_back(text);
            } else if (text.find("DrawPrimitiveUP") != std::string::npos) {
                outline.push_back("tint quad");
            }
        }
        return outline;
    }

    // The matrices set for one transform state, in order.
    static std::vector<Matrix> transformsOf(uint32_t state) {
        std::vector<Matrix> found;
        size_t next = 0;
        for (const fake::Call& call : fake::state().calls) {
            if (call.name != "Device#2.SetTransform") continue;
            if (call.args.at(0) == std::to_string(state))
                found.push_back(fake::state().transforms.at(next));
            ++next;
        }
        return found;
    }

    static std::vector<std::string> textCalls() {
        std::vector<std::string> found;
        for (const fake::Call& call : fake::state().calls)
            if (call.name == "Font#3.DrawTextA") found.push_back(call.text());
        return found;
    }
};

Vector3 transformPoint(const Matrix& m, const Vector3& p) {
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

TEST_F(SceneFrameTest, AFrameLightsDrawsTintsSetsTheCameraThenPrints) {
    renderSceneFrame();
    EXPECT_EQ(frameOutline(),
              (std::vector<std::string>{
                  "Device#2.SetLight(2, &)",
                  "Device#2.LightEnable(2, 1)",
                  "Device#2.SetRenderState(29, 1)",
                  "Device#2.SetRenderState(137, 1)",
                  "Device#2.SetTransform(256, &)",
                  "Device#2.SetMaterial(&)",
                  "Device#2.SetTexture(0, Texture#7)",
                  "Mesh#6.DrawSubset(0)",
                  "tint quad",
                  "Device#2.SetTransform(2, &)",
                  "Device#2.SetTransform(3, &)",
                  "Font#3.DrawTextA(null, " + std::string(kKeyHelpText) +
                      ", -1, 50 40 0 0, 0x140, 0xffc8c8c8)",
                  "Font#3.DrawTextA(null, " + std::string(fake::state().texts.at(1)) +
                      ", -1, 50 56 0 0, 0x140, 0xffc8c8c8)",
              }));
    EXPECT_EQ(fake::state().count("Device#2.DrawPrimitiveUP"), 1u);
}

TEST_F(SceneFrameTest, TheCameraLooksTwoUnitsAheadAtTheTargetHeight) {
    renderSceneFrame();
    const ViewerState& state = viewerState();
    EXPECT_EQ(state.cameraTarget.x, 0.0f);
    EXPECT_EQ(state.cameraTarget.y, 2.4f);
    EXPECT_EQ(state.cameraTarget.z, 0.0f);

    const std::vector<Matrix> views = transformsOf(platform::D3DTS_VIEW);
    ASSERT_EQ(views.size(), 1u);
    // The eye goes to the origin and the target onto the +z axis, 2 away.
    const Vector3 eye = transformPoint(views[0], state.cameraEye);
    const Vector3 target = transformPoint(views[0], state.cameraTarget);
    EXPECT_NEAR(eye.x, 0, 1e-6);
    EXPECT_NEAR(eye.y, 0, 1e-6);
    EXPECT_NEAR(eye.z, 0, 1e-6);
    EXPECT_NEAR(target.x, 0, 1e-6);
    EXPECT_NEAR(target.y, 0, 1e-6);
    EXPECT_NEAR(target.z, std::sqrt(4.01), 1e-5);

    // Sixty degrees, square, 0.01 to 2000.
    const std::vector<Matrix> projections = transformsOf(platform::D3DTS_PROJECTION);
    ASSERT_EQ(projections.size(), 1u);
    EXPECT_NEAR(projections[0].m[0][0], 1.7320508, 1e-5);
    EXPECT_EQ(projections[0].m[0][0], projections[0].m[1][1]);
    EXPECT_NEAR(projections[0].m[2][2], 2000.0 / 1999.99, 1e-6);
    EXPECT_NEAR(projections[0].m[3][2], -0.01 * 2000.0 / 1999.99, 1e-7);
    EXPECT_EQ(projections[0].m[2][3], 1.0f);
}

TEST_F(SceneFrameTest, ACameraSetInOneFrameReachesTheModelInTheNext) {
    renderSceneFrame();
    viewerState().cameraEye.x = 1.0f;
    viewerState().targetHeight = 3.0f;
    fake::state().clearLog();
    fake::state().transforms.clear();

    renderSceneFrame();
    // The model of this frame is drawn before the new view is set: the
    // device still holds the previous frame's camera.
    std::vector<std::string> order;
    for (const fake::Call& call : fake::state().calls)
        if (call.name == "Device#2.SetTransform" || call.name == "Mesh#6.DrawSubset")
            order.push_back(call.text());
    EXPECT_EQ(order, (std::vector<std::string>{
                         "Device#2.SetTransform(256, &)", "Mesh#6.DrawSubset(0)",
                         "Device#2.SetTransform(2, &)", "Device#2.SetTransform(3, &)"}));
    const Matrix view = transformsOf(platform::D3DTS_VIEW).at(0);
    const Vector3 eye = transformPoint(view, {1.0f, 2.5f, -2.0f});
    EXPECT_NEAR(eye.x, 0, 1e-6);
    EXPECT_NEAR(eye.z, 0, 1e-6);
    EXPECT_EQ(viewerState().cameraTarget.x, 1.0f);
    EXPECT_EQ(viewerState().cameraTarget.y, 3.0f);
}

TEST_F(SceneFrameTest, TheStepsAdvanceTheModelBeforeItIsDrawn) {
    ViewerState& state = viewerState();
    state.rotationStepZ = 0.1f;
    state.rotationStepX = 0.2f;
    state.rotationStepY = 0.4f;
    state.modelStep = 0.5f;
    state.liftStep = 0.3f;
    renderSceneFrame();

    EXPECT_EQ(state.modelRotation.z, 0.1f);
    EXPECT_EQ(state.modelRotation.x, 0.2f);
    EXPECT_EQ(state.modelRotation.y, 0.4f);
    // Heading 0: the model moves along +z only.
    EXPECT_EQ(state.modelPosition.x, 0.0f);
    EXPECT_EQ(state.modelPosition.z, 0.5f);
    EXPECT_EQ(state.modelPosition.y, static_cast<float>(double{2.2f} + double{0.3f}));
    // The steps are only read.
    EXPECT_EQ(state.modelStep, 0.5f);

    const Matrix world = transformsOf(platform::D3DTS_WORLD).at(0);
    EXPECT_EQ(world.m[3][0], 0.0f);
    EXPECT_EQ(world.m[3][1], state.modelPosition.y);
    EXPECT_EQ(world.m[3][2], 0.5f);

    // A second frame adds the steps again; angles are not wrapped.
    state.rotationStepY = 7.0f;
    renderSceneFrame();
    EXPECT_EQ(state.modelRotation.y, static_cast<float>(double{0.4f} + 7.0));
    EXPECT_EQ(state.modelPosition.z, 1.0f);
}

TEST_F(SceneFrameTest, WithNoStepsTheWorldIsThePureTranslation) {
    renderSceneFrame();
    Matrix translation{};
    for (int i = 0; i < 4; ++i) translation.m[i][i] = 1.0f;
    translation.m[3][1] = 2.2f;
    EXPECT_EQ(transformsOf(platform::D3DTS_WORLD).at(0), translation);
}

TEST_F(SceneFrameTest, TheTintTakesTheLowByteOfEachFieldAndTheRectangleAsSet) {
    ViewerState& state = viewerState();
    state.tintAlpha = -1;  // byte 0xFF
    state.tintRed = 256;   // byte 0
    state.tintGreen = 0x1AB;
    state.tintBlue = 0x7F;
    state.overlayX = -32767;
    state.overlayY = 84;
    state.overlayWidth = 65535;
    state.overlayHeight = 3;
    renderSceneFrame();

    OverlayVertex vertices[4];
    ASSERT_EQ(fake::state().vertexData.size(), 1u);
    std::memcpy(vertices, fake::state().vertexData[0].data(), sizeof vertices);
    for (const OverlayVertex& vertex : vertices) EXPECT_EQ(vertex.colour, 0xFF00AB7Fu);
    EXPECT_EQ(vertices[0].x, -32767.0f);
    EXPECT_EQ(vertices[1].x, -32767.0f + 65535.0f);
    EXPECT_EQ(vertices[2].y, 87.0f);
}

TEST_F(SceneFrameTest, TheStartingTintIsAFifthOfNearWhite) {
    renderSceneFrame();
    OverlayVertex vertex;
    std::memcpy(&vertex, fake::state().vertexData.at(0).data(), sizeof vertex);
    EXPECT_EQ(vertex.colour, 0x32FAFAFAu);
}

TEST_F(SceneFrameTest, TheSaveLineAppearsAtTheTopOnceASnapshotWasWritten) {
    ViewerState& state = viewerState();
    std::strcpy(state.snapshotPrefix, "abc");
    state.snapshotCounter = 1;
    renderSceneFrame();

    const std::string saved = "abc0 \x82\xc5\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
    const std::vector<std::string> texts = textCalls();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[2], "Font#3.DrawTextA(null, " + saved + ", -1, 50 4 0 0, 0x140, 0xffc8c8c8)");
    // The last line formatted stays in the text buffer.
    EXPECT_EQ(std::string(state.textLine), saved);

    // A failed snapshot takes the same place.
    state.lastSnapshotFailed = true;
    std::strcpy(state.failedSnapshotName, "abc1.bmp");
    fake::state().clearLog();
    renderSceneFrame();
    ASSERT_EQ(textCalls().size(), 3u);
    EXPECT_NE(textCalls()[2].find("abc1.bmp \x82\xcc"), std::string::npos);
    EXPECT_NE(textCalls()[2].find("50 4 0 0"), std::string::npos);
}

TEST_F(SceneFrameTest, TheSystemsNoticeStandsBetweenTheSaveLineAndTheKeyHelp) {
    ViewerState& state = viewerState();
    state.snapshotCounter = 1;
    // Cut to the text buffer at a whole character, as the other lines are.
    fake::state().statusNotice = std::string(300, 'x').replace(254, 2, "\x89\xe6");
    renderSceneFrame();
    const std::vector<std::string> texts = textCalls();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_NE(texts[2].find("50 4 0 0"), std::string::npos);
    EXPECT_EQ(texts[3], "Font#3.DrawTextA(null, " + std::string(254, 'x') +
                            ", -1, 50 22 0 0, 0x140, 0xffc8c8c8)");

    fake::state().statusNotice.clear();
    fake::state().clearLog();
    renderSceneFrame();
    EXPECT_EQ(textCalls().size(), 3u);
}

TEST_F(SceneFrameTest, AFrameWithoutAModelStillTintsAndPrints) {
    viewerState().model.reset();
    fake::state().clearLog();
    renderSceneFrame();
    EXPECT_EQ(fake::state().count("Device#2.DrawPrimitiveUP"), 1u);
    EXPECT_EQ(textCalls().size(), 2u);
}

}  // namespace
