// Writes Qeb's whole data directory, "Data" inside the given folder: the
// world and camera script, the 127 pictures of the texture bank and the
// soundtrack. The demo finds the same folder as "data/" for the scene files.
#pragma once

#include <string>

// The file of frame `frame` (0..39) of the animation `series` (0: anim1,
// 1: anim2, 2: anim3), relative to "Data". The series are numbered each its
// own way: anim_1..anim_40, anim_41..anim_80 and frame1..frame40.
std::string AnimationFrameFile(int series, int frame);

// False (after a message on standard error) when a file could not be written.
bool WriteDataSet(const std::string& outputFolder);
