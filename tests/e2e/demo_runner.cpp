// The demo as it ships, except that its message boxes are answered here:
// each box is printed to standard error as "BOX caption|text|type" and
// answered by the next of the arguments (yes, no or ok), or by the answer
// that ends the program when none are left.
#include <cstdio>
#include <cstring>
#include <deque>

#include "platform/message_box.h"
#include "shell/demo_main.h"

namespace {

std::deque<int> answers;

int AnswerFromArguments(WindowHandle, const char* text, const char* caption, unsigned type) {
  std::fprintf(stderr, "BOX %s|%s|%u\n", caption, text, type);
  std::fflush(stderr);
  if (answers.empty()) return EndingAnswer(type);
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    answers.push_back(std::strcmp(argv[i], "yes") == 0 ? IDYES : std::strcmp(argv[i], "no") == 0 ? IDNO : IDOK);
  SetMessageBoxAnswerer(AnswerFromArguments);
  return DemoMain(nullptr, nullptr, "", 1);
}
