// Records every message box a test's code shows and answers it from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/message_box.h"

struct ShownMessageBox {
  WindowHandle owner;
  std::string text;
  std::string caption;
  unsigned type;
};

struct AnsweredMessageBoxes {
  std::vector<ShownMessageBox> shown;
  std::deque<int> answers;  // taken in order; when empty, the box's EndingAnswer
  // When set, each box also appends "MessageBox <caption>: <text>" here, so a
  // test can see where in a sequence of other calls the box appeared.
  std::vector<std::string>* log = nullptr;
};

extern AnsweredMessageBoxes answeredMessageBoxes;

// Clears the record and installs the answerer; boxes are also logged to log
// when it is given.
void AnswerMessageBoxesFromScript(std::vector<std::string>* log = nullptr);
