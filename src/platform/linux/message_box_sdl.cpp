// Message boxes on SDL. A box asked for by the thread that owns the window
// system is shown in place. A box asked for by any other thread (the music
// thread) is shown by a small helper program in a process of its own: SDL's
// box resets the keyboard state, shows the cursor and raises the window that
// had the focus, all of which belongs to the main thread, which goes on
// rendering (and may destroy that window on F1) while the box is up.
#include "platform/message_box.h"

#include <SDL.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <string>

#include "platform/linux/message_box_sdl.h"
#include "platform/message_box_system.h"

extern char** environ;

namespace {

struct IconKind {
  unsigned icon;
  uint32_t sdlFlags;
};

constexpr IconKind iconKinds[] = {
    {MB_ICONSTOP, SDL_MESSAGEBOX_ERROR},
    {MB_ICONEXCLAMATION, SDL_MESSAGEBOX_WARNING},
    {MB_ICONINFORMATION, SDL_MESSAGEBOX_INFORMATION},
};

// The main thread of a Linux process has the process's id as its thread id.
bool OnMainThread() { return gettid() == getpid(); }

// The helper beside the running program.
std::string HelperPath() {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return messageBoxHelperName;
  const std::string program(self, size_t(length));
  return program.substr(0, program.rfind('/') + 1) + messageBoxHelperName;
}

// Runs the helper, which ends with the thread that started it: the demo may
// end while a box of its music thread is up (EndProcess after a failed
// re-open), and the box must not stay on the screen without it. Between the
// fork and the exec only system calls run, as a forked thread must.
pid_t StartHelper(const char* helperPath, char* const arguments[]) {
  const pid_t demo = getpid();
  const pid_t helper = fork();
  if (helper != 0) return helper;
  if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != demo) _exit(127);
  execve(helperPath, arguments, environ);
  _exit(127);
}

// SDL's box needs a display: X11's, or a Wayland compositor's socket. With
// neither, SDL still runs zenity, which cannot open one, and reports that
// as a box closed without a button: the user would have seen nothing.
bool SomeDisplayToShowOn() {
  if (const char* x11 = std::getenv("DISPLAY"); x11 && *x11) return true;
  const char* name = std::getenv("WAYLAND_DISPLAY");
  std::string socket = name && *name ? name : "wayland-0";
  if (socket[0] != '/') {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime) return false;
    socket = std::string(runtime) + "/" + socket;
  }
  return access(socket.c_str(), F_OK) == 0;
}

}  // namespace

uint32_t SdlMessageBoxFlags(unsigned type) {
  for (const IconKind& kind : iconKinds)
    if ((type & MB_ICON_MASK) == kind.icon) return kind.sdlFlags;
  return 0;
}

int ShowSdlMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned type) {
  const SDL_MessageBoxButtonData okButton[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"}};
  const SDL_MessageBoxButtonData yesNoButtons[] = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
                                                   {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"}};
  const bool question = (type & MB_BUTTON_MASK) == MB_YESNO;

  SDL_MessageBoxData box{};
  box.flags = SdlMessageBoxFlags(type);
  box.window = reinterpret_cast<SDL_Window*>(owner);
  box.title = caption;
  box.message = text;
  box.numbuttons = question ? 2 : 1;
  box.buttons = question ? yesNoButtons : okButton;

  int pressed = -1;
  if (!SomeDisplayToShowOn() || SDL_ShowMessageBox(&box, &pressed) != 0)
    return ReportOnStandardError(text, caption, type);
  // Closing the box without a button counts as its ending answer.
  return IsAnswer(pressed) ? pressed : EndingAnswer(type);
}

int ShowMessageBoxInHelper(const char* helperPath, const char* text, const char* caption, unsigned type) {
  std::string typeText = std::to_string(type);
  char* const arguments[] = {const_cast<char*>(helperPath), const_cast<char*>(caption), const_cast<char*>(text),
                             typeText.data(), nullptr};
  const pid_t helper = StartHelper(helperPath, arguments);
  if (helper < 0) return ReportOnStandardError(text, caption, type);
  int status = 0;
  while (waitpid(helper, &status, 0) < 0)
    if (errno != EINTR) return ReportOnStandardError(text, caption, type);
  // The helper has already written the box to standard error when it could not show it.
  if (WIFEXITED(status) && IsAnswer(WEXITSTATUS(status))) return WEXITSTATUS(status);
  return ReportOnStandardError(text, caption, type);
}

int ShowSystemMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned type) {
  if (OnMainThread()) return ShowSdlMessageBox(owner, text, caption, type);
  return ShowMessageBoxInHelper(HelperPath().c_str(), text, caption, type);
}
