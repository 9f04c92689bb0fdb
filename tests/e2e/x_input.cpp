// Plays a user at an X display, for the end-to-end tests:
//   x_input wait-window TITLE [SECONDS]  waits until a mapped window has that title
//   x_input key KEYSYM                   presses and releases a key (XTest)
//   x_input close TITLE                  asks that window to close, as its close button does
// Exit status 0 on success, 1 otherwise.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

bool HasTitle(Display* display, Window window, const char* title) {
  char* name = nullptr;
  bool match = XFetchName(display, window, &name) && name && std::strcmp(name, title) == 0;
  if (name) XFree(name);
  return match;
}

Window FindWindow(Display* display, Window root, const char* title) {
  Window parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, root, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable &&
        HasTitle(display, children[i], title))
      found = children[i];
    else
      found = FindWindow(display, children[i], title);
  }
  if (children) XFree(children);
  return found;
}

int WaitWindow(Display* display, const char* title, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    if (FindWindow(display, DefaultRootWindow(display), title)) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::fprintf(stderr, "x_input: no window titled %s\n", title);
  return 1;
}

int PressKey(Display* display, const char* keysymName) {
  const KeySym keysym = XStringToKeysym(keysymName);
  const KeyCode code = keysym == NoSymbol ? 0 : XKeysymToKeycode(display, keysym);
  if (!code) return 1;
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XSync(display, False);
  // Held long enough for a slow frame (a sanitizer build) to see it down.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  XSync(display, False);
  return 0;
}

int CloseWindow(Display* display, const char* title) {
  const Window window = FindWindow(display, DefaultRootWindow(display), title);
  if (!window) return 1;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  return 0;
}

// A window can vanish between listing and asking about it (the demo replaces
// its window on F1): such errors only mean "not this window".
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 1;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  XSetErrorHandler(IgnoreXError);
  const std::string command = argv[1];
  int status = 1;
  if (command == "wait-window") status = WaitWindow(display, argv[2], argc > 3 ? std::atof(argv[3]) : 30.0);
  if (command == "key") status = PressKey(display, argv[2]);
  if (command == "close") status = CloseWindow(display, argv[2]);
  XCloseDisplay(display);
  return status;
}
