#include "answered_message_boxes.h"

AnsweredMessageBoxes answeredMessageBoxes;

namespace {
int AnswerFromScript(WindowHandle owner, const char* text, const char* caption, unsigned type) {
  answeredMessageBoxes.shown.push_back({owner, text ? text : "", caption ? caption : "", type});
  if (!answeredMessageBoxes.answers.empty()) {
    int answer = answeredMessageBoxes.answers.front();
    answeredMessageBoxes.answers.pop_front();
    return answer;
  }
  return (type & MB_BUTTON_MASK) == MB_YESNO ? IDNO : IDOK;
}
}  // namespace

void AnswerMessageBoxesFromScript() {
  answeredMessageBoxes = AnsweredMessageBoxes{};
  SetMessageBoxAnswerer(AnswerFromScript);
}
