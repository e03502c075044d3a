// The one process-wide record of the viewer: every parameter the user can
// change, the bookkeeping several parts share, and the long-lived windows,
// GDI objects and graphics objects. Every run starts from these values.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/graphics.h"
#include "platform/ref.h"
#include "platform/types.h"

class ModelMesh;
class TintQuad;

struct ViewerState {
    ViewerState();
    ~ViewerState();
    ViewerState(ViewerState&&) noexcept;
    ViewerState& operator=(ViewerState&&) noexcept;

    // --- user parameters and shared bookkeeping, in declaration order ---
    uint16_t captureMode = 0;  // 0 feedback image; 1 panel button; 2 F5
    uint16_t overlayHeight = 200;
    uint16_t overlayWidth = 200;
    int16_t overlayX = 20;
    int16_t overlayY = 84;
    platform::Vector3 modelPosition{0.0f, 2.2f, 0.0f};
    platform::Vector3 cameraTarget{0.0f, 0.0f, 0.0f};
    platform::Vector3 cameraEye{0.0f, 2.5f, -2.0f};
    platform::Vector3 cameraUp{0.0f, 1.0f, 0.0f};
    platform::Vector3 modelRotation{0.0f, 0.0f, 0.0f};
    float rotationStepY = 0.0f;
    float eyeStep = 0.0f;
    float modelStep = 0.0f;
    float rotationStepZ = 0.0f;
    float liftStep = 0.0f;
    float rotationStepX = 0.0f;
    float targetHeight = 2.4f;
    float heading = 0.0f;
    int32_t backBufferWidth = 594;
    int32_t backBufferHeight = 578;
    uint16_t ambientRedPercent = 99;
    uint16_t ambientGreenPercent = 99;
    uint16_t ambientBluePercent = 99;
    uint16_t tintRed = 250;
    uint16_t tintGreen = 250;
    uint16_t tintBlue = 250;
    int16_t tintAlpha = 50;
    float ambientRed = 0.99f;
    float ambientGreen = 0.99f;
    float ambientBlue = 0.99f;
    char snapshotPrefix[256] = {};
    uint16_t leftHeld = 0;
    uint16_t rightHeld = 0;
    uint16_t upHeld = 0;
    uint16_t downHeld = 0;
    int32_t snapshotCounter = 0;
    platform::Rect panelRect;

    // --- a snapshot that could not be written: reported instead of the
    // confirmation until the next snapshot succeeds ---
    bool lastSnapshotFailed = false;
    char failedSnapshotName[256] = {};

    // --- application shell ---
    platform::WindowHandle displayWindow = nullptr;
    platform::WindowHandle panelWindow = nullptr;
    platform::GdiObject controlFont = nullptr;
    platform::GdiObject backgroundBrush = nullptr;
    platform::GdiObject skinBitmap = nullptr;
    platform::Message message;
    int32_t deviceLost = 0;
    uint64_t minimisedFrameStart = 0;  // microseconds; 0 before the first minimised frame
    std::unique_ptr<TintQuad> overlay;
    std::unique_ptr<ModelMesh> model;

    // --- graphics device ---
    platform::Ref<platform::Direct3D9> direct3d;
    platform::Ref<platform::Direct3DDevice9> device;
    platform::Ref<platform::D3DXFont> textFont;
    platform::PresentParameters presentParameters;
    platform::Ref<platform::DirectInput8> directInput;

    // --- scene ---
    char textLine[256] = {};
};

// The single instance.
ViewerState& viewerState();
