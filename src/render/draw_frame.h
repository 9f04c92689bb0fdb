// Draws one complete picture into the back buffer (never swaps).
#pragma once

// Always 1; the main loop ends the demo if it ever returns 0.
int DrawFrame();
