#include "answered_message_boxes.h"

AnsweredMessageBoxes answeredMessageBoxes;

namespace {
int AnswerFromScript(WindowHandle owner, const char* text, const char* caption, unsigned type) {
  answeredMessageBoxes.shown.push_back({owner, text ? text : "", caption ? caption : "", type});
  if (answeredMessageBoxes.log) answeredMessageBoxes.log->push_back(std::string("MessageBox ") + caption + ": " + text);
  if (answeredMessageBoxes.answers.empty()) return EndingAnswer(type);
  const int answer = answeredMessageBoxes.answers.front();
  answeredMessageBoxes.answers.pop_front();
  return answer;
}
}  // namespace

void AnswerMessageBoxesFromScript(std::vector<std::string>* log) {
  answeredMessageBoxes = AnsweredMessageBoxes{};
  answeredMessageBoxes.log = log;
  SetMessageBoxAnswerer(AnswerFromScript);
}
