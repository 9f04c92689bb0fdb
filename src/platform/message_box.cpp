// What every system's message boxes share: the answerer hook that tests
// use, the ending answer, and the report on standard error where no box can
// be shown. The box itself is the system's (ShowSystemMessageBox).
#include "platform/message_box.h"

#include <atomic>
#include <cstdio>

#include "platform/message_box_system.h"

namespace {

std::atomic<MessageBoxAnswerer> installedAnswerer{nullptr};

}  // namespace

int EndingAnswer(unsigned type) { return (type & MB_BUTTON_MASK) == MB_YESNO ? IDNO : IDOK; }

bool IsAnswer(int answer) { return answer == IDOK || answer == IDYES || answer == IDNO; }

int UnshownAnswer(unsigned type) { return (type & MB_BUTTON_MASK) == MB_YESNO ? IDYES : IDOK; }

int ReportOnStandardError(const char* text, const char* caption, unsigned type) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
  const int answer = UnshownAnswer(type);
  if (answer == IDYES) std::fprintf(stderr, "(no message box could be shown: answered Yes)\n");
  return answer;
}

void SetMessageBoxAnswerer(MessageBoxAnswerer answerer) { installedAnswerer.store(answerer); }

int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned type) {
  if (MessageBoxAnswerer answerer = installedAnswerer.load()) return answerer(owner, text, caption, type);
  return ShowSystemMessageBox(owner, text, caption, type);
}
