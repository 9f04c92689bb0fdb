// Which picture fills which of the wall timeline's 120 slots: the three
// series of 40, in the order the show plays them.
#pragma once

#include <vector>

constexpr int seriesLength = 40;
constexpr int pictureSlots = 3 * seriesLength;

// For each slot, the index (0..pictures-1) of the picture it shows. With
// fewer pictures than slots each is shown in a run of neighbouring slots of
// (nearly) equal length; with more, pictures are picked at even steps.
// Empty when there are no pictures.
std::vector<int> PlanSlots(int pictures);
