#include "make_options.h"

#include <cstring>

const char* const makeUsage =
    "usage: qeb-make [OPTIONS] PICTURE|FOLDER... -o OUT\n"
    "Makes a data set for the demo from your pictures and, if given, a song:\n"
    "the folder OUT, which \"qeb --data OUT\" plays.\n"
    "\n"
    "  -o, --output OUT      the data set's folder (must not exist yet)\n"
    "  --force               replace OUT if it exists\n"
    "  --music FILE          the soundtrack: MP3, FLAC, Ogg, Opus, WAV or M4A\n"
    "                        (default: the default data's soundtrack)\n"
    "  --title TEXT          the title on the opening picture\n"
    "  --subtitle TEXT       a line under the title\n"
    "  --end TEXT            the text on the end pictures (default \"THE END\")\n"
    "  --order name|date|given\n"
    "                        the pictures' order: by file name (default), by\n"
    "                        the date taken (else by name), or as given\n"
    "  --fit cover|contain   fill the square and crop around the centre\n"
    "                        (default), or show the whole picture over its own\n"
    "                        blurred copy\n"
    "  --size 256|512        the side of the pictures in pixels (default 256)\n"
    "  --room DIR            take world.txt, cam.txt and map1..map4.bmp from\n"
    "                        another data set (default: the default room)\n"
    "  -h, --help            show this help\n"
    "\n"
    "Pictures: JPEG, PNG, WebP, GIF, BMP, TIFF; a folder gives the pictures in\n"
    "it and its sub-folders. Exit status: 0 done, 1 the output could not be\n"
    "written, 2 bad options or no usable picture or song.\n";

ParseResult ParseMakeOptions(int argc, char** argv, MakeOptions& options, std::string& message) {
  bool onlyInputs = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (onlyInputs || argument.empty() || argument[0] != '-' || argument == "-") {
      options.inputs.push_back(argument);
      continue;
    }
    if (argument == "--") {
      onlyInputs = true;
      continue;
    }
    if (argument == "-h" || argument == "--help") return ParseResult::help;
    if (argument == "--force") {
      options.force = true;
      continue;
    }
    // The options that take a value, as "--name VALUE" or "--name=VALUE".
    std::string name = argument, value;
    bool hasValue = false;
    if (const size_t equals = argument.find('='); argument.rfind("--", 0) == 0 && equals != std::string::npos) {
      name = argument.substr(0, equals);
      value = argument.substr(equals + 1);
      hasValue = true;
    }
    const char* known[] = {"-o",         "--output", "--music", "--room", "--title",
                           "--subtitle", "--end",    "--order", "--fit",  "--size"};
    bool isKnown = false;
    for (const char* k : known) isKnown = isKnown || name == k;
    if (!isKnown) {
      message = "unknown option " + argument;
      return ParseResult::error;
    }
    if (!hasValue) {
      if (i + 1 >= argc) {
        message = "option " + name + " needs a value";
        return ParseResult::error;
      }
      value = argv[++i];
    }
    if (name == "-o" || name == "--output") {
      options.output = value;
    } else if (name == "--music") {
      options.music = value;
    } else if (name == "--room") {
      options.room = value;
    } else if (name == "--title") {
      options.title = value;
    } else if (name == "--subtitle") {
      options.subtitle = value;
    } else if (name == "--end") {
      options.endText = value;
    } else if (name == "--order") {
      if (value == "name") {
        options.order = PictureOrder::name;
      } else if (value == "date") {
        options.order = PictureOrder::date;
      } else if (value == "given") {
        options.order = PictureOrder::given;
      } else {
        message = "--order takes name, date or given, not " + value;
        return ParseResult::error;
      }
    } else if (name == "--fit") {
      if (value == "cover") {
        options.fit = PictureFit::cover;
      } else if (value == "contain") {
        options.fit = PictureFit::contain;
      } else {
        message = "--fit takes cover or contain, not " + value;
        return ParseResult::error;
      }
    } else if (name == "--size") {
      if (value == "256" || value == "512") {
        options.size = std::stoi(value);
      } else {
        message = "--size takes 256 or 512, not " + value;
        return ParseResult::error;
      }
    }
  }
  if (options.inputs.empty()) {
    message = "no pictures given";
    return ParseResult::error;
  }
  if (options.output.empty()) {
    message = "no output folder given (-o OUT)";
    return ParseResult::error;
  }
  return ParseResult::run;
}
