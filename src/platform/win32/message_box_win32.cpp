// Message boxes with MessageBoxA. The button and icon values of the shared
// header are the Windows ones and pass through unchanged. A box asked for by
// the music thread is shown in place: a Windows box belongs to the thread
// that shows it, and the main thread's window goes on rendering beside it.
#include "platform/win32/windows_api.h"

#include <atomic>
#include <cstdio>

#include "platform/message_box.h"

namespace {

std::atomic<MessageBoxAnswerer> installedAnswerer{nullptr};

}  // namespace

int EndingAnswer(unsigned type) { return (type & MB_BUTTON_MASK) == MB_YESNO ? IDNO : IDOK; }

void SetMessageBoxAnswerer(MessageBoxAnswerer answerer) { installedAnswerer.store(answerer); }

int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned type) {
  if (MessageBoxAnswerer answerer = installedAnswerer.load()) return answerer(owner, text, caption, type);
  const int answer = MessageBoxA(reinterpret_cast<HWND>(owner), text, caption, type);
  if (answer == 0) {  // no box could be shown
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return EndingAnswer(type);
  }
  return answer == IDOK || answer == IDYES || answer == IDNO ? answer : EndingAnswer(type);
}
