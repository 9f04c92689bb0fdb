// Which files the show's pictures come from: the files given, and the
// pictures in the folders given and their sub-folders, in the order asked.
#pragma once

#include <string>
#include <vector>

#include "make_options.h"

// Files named on the command line are always tried; in folders only names
// ending in a picture's extension are taken. Folders are listed by name
// (the "given" order keeps the arguments' order and lists each folder by
// name). A path that does not exist is reported in `problems`.
std::vector<std::string> CollectPictureFiles(const std::vector<std::string>& inputs, PictureOrder order,
                                             std::vector<std::string>& problems);

// Orders names as a person expects: "img2" before "img10", letter case aside.
bool NaturalLess(const std::string& a, const std::string& b);
