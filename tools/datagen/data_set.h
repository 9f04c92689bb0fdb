// Writes Qeb's whole data directory, "Data" inside the given folder: the
// world and camera script, the 127 pictures of the texture bank and the
// soundtrack. The demo finds the same folder as "data/" for the scene files.
#pragma once

#include <string>

// False (after a message on standard error) when a file could not be written.
bool WriteDataSet(const std::string& outputFolder);
