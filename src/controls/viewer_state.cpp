#include "controls/viewer_state.h"

#include "render/model_mesh.h"
#include "render/tint_quad.h"

ViewerState::ViewerState() = default;
ViewerState::~ViewerState() = default;
ViewerState::ViewerState(ViewerState&&) noexcept = default;
ViewerState& ViewerState::operator=(ViewerState&&) noexcept = default;

ViewerState& viewerState() {
    static ViewerState state;
    return state;
}
