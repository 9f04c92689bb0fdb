// The video is written under a temporary name beside OUT and renamed to OUT
// only once it is complete, so no half-written file ever carries OUT's name.
#pragma once

#include <string>

// Checks that OUT may be written (not an existing file unless overwriting,
// not a folder, its folder writable) and creates the temporary file beside
// it. Returns "" and the temporary path, or why OUT cannot be written.
std::string CreateTemporaryOutput(const std::string& outputPath, bool overwrite, std::string* temporaryPath);
// Gives the finished file its name; "" or why that failed (the temporary file is then removed).
std::string CommitOutput(const std::string& temporaryPath, const std::string& outputPath);
void DiscardOutput(const std::string& temporaryPath);
