// The demo's view volume: the viewport over the whole window and a
// perspective projection, set whenever the window gets a size.
#pragma once

// Viewport (0, 0, width, height) and a 45-degree vertical field of view with
// the window's aspect, near plane 0.1, far plane 100; leaves the modelview
// matrix current and reset. A height of 0 counts as 1.
void SetDemoProjection(int width, int height);
