// Message boxes in the browser: its own modal alert (boxes with OK) and
// confirm (Yes/No: OK is Yes). Both wait for the answer like the demo's
// boxes, and a test driver answers them. A dialog has no title of its own,
// so the caption leads the message: "CAPTION: TEXT", as on standard error.
#include <emscripten/emscripten.h>

#include <string>

#include "platform/message_box.h"
#include "platform/message_box_system.h"

namespace {

// The JavaScript below is the browser's; clang-format would split its operators.
// clang-format off

// 1 for OK (or Yes), 0 for Cancel (No), -1 where the page has no dialogs.
EM_JS(int, ShowBrowserDialog, (const char* message, int question), {
  var text = UTF8ToString(message);
  if (typeof window == 'undefined' || !window.alert || !window.confirm) return -1;
  if (question) return window.confirm(text) ? 1 : 0;
  window.alert(text);
  return 1;
});

// clang-format on

}  // namespace

int ShowSystemMessageBox(WindowHandle, const char* text, const char* caption, unsigned type) {
  const bool question = (type & MB_BUTTON_MASK) == MB_YESNO;
  const std::string message = std::string(caption ? caption : "") + ": " + (text ? text : "");
  const int answer = ShowBrowserDialog(message.c_str(), question ? 1 : 0);
  if (answer < 0) return ReportOnStandardError(text, caption, type);
  if (!question) return IDOK;
  return answer ? IDYES : IDNO;
}
