// qeb-make: makes a data set for the demo from a person's pictures and song.
#include <cstdio>
#include <string>

#include "make_options.h"
#include "make_show.h"

int main(int argc, char** argv) {
  MakeOptions options;
  std::string message;
  switch (ParseMakeOptions(argc, argv, options, message)) {
    case ParseResult::help:
      std::fputs(makeUsage, stdout);
      return 0;
    case ParseResult::error:
      std::fprintf(stderr, "qeb-make: %s\nTry \"qeb-make --help\".\n", message.c_str());
      return 2;
    case ParseResult::run:
      break;
  }
  return MakeShow(options);
}
