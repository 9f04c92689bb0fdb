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
  std::deque<int> answers;  // taken in order; when empty, OK or No (the ending answer)
};

extern AnsweredMessageBoxes answeredMessageBoxes;

// Clears the record and installs the answerer.
void AnswerMessageBoxesFromScript();
