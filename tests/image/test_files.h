// Files for tests: each test runs in a fresh temporary directory of its own.
#pragma once

#include <filesystem>
#include <string>

#include "datagen/bmp_file.h"

// Makes a new temporary directory the working directory; LeaveTestDirectory
// goes back and removes it with everything in it.
void EnterTestDirectory();
void LeaveTestDirectory();

// Writes the bytes, creating the folders on the way.
void WriteTestFile(const std::string& path, const Bytes& bytes);
