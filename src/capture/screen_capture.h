// The grab of the screen through the viewfinder, written as a BMP file, and
// the model reload that follows every grab.
#pragma once

// Reads captureMode: 0 writes the feedback image, anything else a snapshot.
// Then replaces the model, whose textures are read afresh.
void captureScreen();
