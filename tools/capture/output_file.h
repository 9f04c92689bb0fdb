// The video is written under a temporary name beside OUT and renamed to OUT
// only once it is complete and on disk, so no half-written file ever carries
// OUT's name.
#pragma once

#include <string>

// Checks that OUT may be written (no existing entry unless overwriting, and
// then only a regular file or a link to one; its folder writable) and
// creates the temporary file beside it. Returns "" and the temporary path,
// or why OUT cannot be written.
std::string CreateTemporaryOutput(const std::string& outputPath, bool overwrite, std::string* temporaryPath);
// Flushes the finished file to disk and gives it its name, checking OUT
// again: without overwrite it must still not exist, with it still be a
// regular file. "" or why that failed (the temporary file is then removed).
std::string CommitOutput(const std::string& temporaryPath, const std::string& outputPath, bool overwrite);
void DiscardOutput(const std::string& temporaryPath);

// Removes the temporary file of the capture under way, if any. Safe to call
// from a signal handler: for a program that must end at once.
void DiscardOutputNow();
