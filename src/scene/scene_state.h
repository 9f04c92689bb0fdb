// The scene module's global state as a whole: the world and the camera script.
#pragma once

// Puts world and cameraPath back to their program-start values: the world's
// array (LoadWorld's allocation, or none) is freed and the world emptied,
// every camera step zeroed.
void ResetSceneState();
