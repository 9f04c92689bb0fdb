// The world the renderer benchmarks draw: a floor of 6 x 3 cells, 6 by 6
// units around the walls, as 36 triangles (the world pass's full count).
#pragma once

// Points the renderer's `world` at the floor; it stays valid until exit.
void UseFloorWorld();
