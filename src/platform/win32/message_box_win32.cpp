// Message boxes with MessageBoxA. The button and icon values of the shared
// header are the Windows ones and pass through unchanged. A box asked for by
// the music thread is shown in place: a Windows box belongs to the thread
// that shows it, and the main thread's window goes on rendering beside it.
#include "platform/win32/windows_api.h"

#include "platform/message_box.h"
#include "platform/message_box_system.h"

int ShowSystemMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned type) {
  const int answer = MessageBoxA(reinterpret_cast<HWND>(owner), text, caption, type);
  if (answer == 0) return ReportOnStandardError(text, caption, type);  // no box could be shown
  return IsAnswer(answer) ? answer : EndingAnswer(type);
}
