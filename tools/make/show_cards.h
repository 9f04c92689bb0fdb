// The opening picture (the show's first picture with its title and
// subtitle) and the end pictures (a picture with the end text), each
// darkened so the writing stands out.
#pragma once

#include <string>
#include <vector>

#include "datagen/picture.h"

// `messages` gets one line for each text that could not be drawn in full.
Picture MakeOpeningCard(const Picture& base, const std::string& title, const std::string& subtitle,
                        std::vector<std::string>& messages);
Picture MakeEndCard(const Picture& base, const std::string& text, std::vector<std::string>& messages);
