// The command line of qeb-make: the pictures, the song, the texts and how
// the pictures are ordered and fitted.
#pragma once

#include <string>
#include <vector>

enum class PictureOrder { name, date, given };
enum class PictureFit { cover, contain };

struct MakeOptions {
  std::vector<std::string> inputs;  // files and folders, as given
  std::string output;
  std::string music;  // empty: the default soundtrack
  std::string room;   // empty: the default room
  std::string title, subtitle;
  std::string endText = "THE END";
  PictureOrder order = PictureOrder::name;
  PictureFit fit = PictureFit::cover;
  int size = 256;
  bool force = false;
};

enum class ParseResult { run, help, error };

// Fills `options`; on error `message` says what is wrong.
ParseResult ParseMakeOptions(int argc, char** argv, MakeOptions& options, std::string& message);

extern const char* const makeUsage;
