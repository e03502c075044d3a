// The per-frame keyboard pass.
#pragma once

// Samples the bound keys, changes the viewer state and performs the requests.
void pollControls();
