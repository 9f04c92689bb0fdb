// One picture file into a square texture for the walls: decoded with
// FFmpeg's libraries, turned the way its EXIF orientation says, laid over the
// show's background colour where it is transparent, and fitted to the
// square by filling and cropping around the centre or by showing it whole
// over its own blurred copy. Scaled with libswscale's area filter, which
// averages every source pixel into the texture.
#pragma once

#include <cstdint>
#include <string>

#include "datagen/picture.h"
#include "make_options.h"

struct FitSettings {
  int size = 256;
  PictureFit fit = PictureFit::cover;
  Rgb background{128, 128, 128};  // the fog's grey, behind every wall
  // Pictures with more pixels are refused before anything is decoded.
  uint64_t pixelBudget = 100'000'000;
};

struct LoadedPicture {
  Picture picture;   // size x size
  std::string date;  // the date taken, "YYYY:MM:DD HH:MM:SS", when the file gives one
};

// False with a short reason in `error` ("not a picture", "empty file", ...).
bool LoadPicture(const std::string& path, const FitSettings& settings, LoadedPicture& loaded, std::string& error);

// Makes FFmpeg's libraries quiet: the tool says what went wrong itself.
void SilenceMediaLibraries();
