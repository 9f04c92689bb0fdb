// The fixed GL state that every frame relies on, set once per GL context.
#pragma once

// Textures and depth test on, additive blend function (blending itself stays
// off until the B key), black clear colour, clear depth 1, GL_LESS, smooth
// shading, nicest perspective correction. Everything else keeps its default.
void SetSceneGlState();
