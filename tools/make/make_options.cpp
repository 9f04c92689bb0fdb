#include "make_options.h"

#include <cstddef>
#include <utility>

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

namespace {
template <typename T>
struct Choice {
  const char* word;
  T value;
};

// Sets `target` to the value that `word` names among `choices`; if none
// does, `message` says which words `option` takes.
template <typename T, size_t count>
bool Choose(const std::string& option, const std::string& word, const Choice<T> (&choices)[count], T& target,
            std::string& message) {
  std::string words;
  for (size_t i = 0; i < count; ++i) {
    if (word == choices[i].word) {
      target = choices[i].value;
      return true;
    }
    words += (i == 0 ? "" : i + 1 == count ? " or " : ", ") + std::string(choices[i].word);
  }
  message = option + " takes " + words + ", not " + word;
  return false;
}
}  // namespace

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
    // A text is taken as it is; a choice must be one of its words.
    const std::pair<const char*, std::string*> texts[] = {
        {"-o", &options.output},    {"--output", &options.output}, {"--music", &options.music},
        {"--room", &options.room},  {"--title", &options.title},   {"--subtitle", &options.subtitle},
        {"--end", &options.endText}};
    std::string* text = nullptr;
    for (const auto& [textName, target] : texts) text = name == textName ? target : text;
    const bool choice = name == "--order" || name == "--fit" || name == "--size";
    if (!text && !choice) {
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
    if (text) {
      *text = value;
      continue;
    }
    static constexpr Choice<PictureOrder> orders[] = {
        {"name", PictureOrder::name}, {"date", PictureOrder::date}, {"given", PictureOrder::given}};
    static constexpr Choice<PictureFit> fits[] = {{"cover", PictureFit::cover}, {"contain", PictureFit::contain}};
    static constexpr Choice<int> sizes[] = {{"256", 256}, {"512", 512}};
    const bool chosen = name == "--order" ? Choose(name, value, orders, options.order, message)
                        : name == "--fit" ? Choose(name, value, fits, options.fit, message)
                                          : Choose(name, value, sizes, options.size, message);
    if (!chosen) return ParseResult::error;
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
