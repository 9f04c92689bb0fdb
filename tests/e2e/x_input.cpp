// Plays a user at an X display, for the end-to-end tests:
//   x_input wait-window TITLE [SECONDS]  waits until a mapped window has that title
//   x_input key KEYSYM                   presses and releases a key (XTest)
//   x_input close TITLE                  asks that window to close, as its close button does
//   x_input replace-window TITLE KEYSYM COUNT
//                                        presses the key COUNT times, each time waiting until
//                                        the window with that title has been replaced by a new one
//   x_input resources                    prints the server's clients and what they hold, as
//                                        "clients N" and one "TYPE COUNT" line per resource type
// Exit status 0 on success, 1 otherwise.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
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

KeyCode KeyCodeOf(Display* display, const char* keysymName) {
  const KeySym keysym = XStringToKeysym(keysymName);
  return keysym == NoSymbol ? 0 : XKeysymToKeycode(display, keysym);
}

int PressKey(Display* display, const char* keysymName) {
  const KeyCode code = KeyCodeOf(display, keysymName);
  if (!code) return 1;
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XSync(display, False);
  // Held long enough for a slow frame (a sanitizer build) to see it down.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  XSync(display, False);
  return 0;
}

// The mapped window with that title, looked for on a connection of its own.
Window FindTitled(const char* title) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 0;  // a server that is resetting drops new clients
  const Window window = FindWindow(display, DefaultRootWindow(display), title);
  XCloseDisplay(display);
  return window;
}

// Waits up to 60 s for the mapped window with that title to be another one
// than `old` (0: any).
Window WaitForWindowOtherThan(const char* title, Window old) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    const Window window = FindTitled(title);
    if (window && window != old) return window;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return 0;
}

// Each press and each look is a connection of its own, closed at once: in
// between, the program pressed at may be the server's only client, as on a
// display nobody else uses, and a server that resets when its last client
// leaves then does. The key stays down until the old window is gone, so that
// it is seen however slow the frame is.
int ReplaceWindow(const char* title, const char* keysymName, int count) {
  Window window = WaitForWindowOtherThan(title, 0);
  if (!window) return 1;
  for (int i = 0; i < count; ++i) {
    Display* display = XOpenDisplay(nullptr);
    const KeyCode code = display ? KeyCodeOf(display, keysymName) : 0;
    if (!code) return 1;
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XSync(display, False);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (FindWindow(display, DefaultRootWindow(display), title) == window &&
           std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XCloseDisplay(display);
    window = WaitForWindowOtherThan(title, window);
    if (!window) {
      std::fprintf(stderr, "x_input: press %d of %s did not replace the window %s\n", i + 1, keysymName, title);
      return 1;
    }
  }
  std::printf("replaced %d times\n", count);
  return 0;
}

// What every client of the server holds, summed by resource type (this
// client holds nothing of its own).
int PrintResources(Display* display) {
  int clientCount = 0;
  XResClient* clients = nullptr;
  if (!XResQueryClients(display, &clientCount, &clients)) return 1;
  std::map<std::string, int> held;
  for (int i = 0; i < clientCount; ++i) {
    int typeCount = 0;
    XResType* types = nullptr;
    if (!XResQueryClientResources(display, clients[i].resource_base, &typeCount, &types)) continue;
    for (int t = 0; t < typeCount; ++t) {
      char* name = XGetAtomName(display, types[t].resource_type);
      held[name ? name : "?"] += int(types[t].count);
      if (name) XFree(name);
    }
    XFree(types);
  }
  XFree(clients);
  std::printf("clients %d\n", clientCount);
  for (const auto& [type, count] : held) std::printf("%s %d\n", type.c_str(), count);
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
  if (argc < 2) return 1;
  XSetErrorHandler(IgnoreXError);
  const std::string command = argv[1];
  if (command == "replace-window") return argc == 5 ? ReplaceWindow(argv[2], argv[3], std::atoi(argv[4])) : 1;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  int status = 1;
  const char* argument = argc > 2 ? argv[2] : "";
  if (command == "wait-window") status = WaitWindow(display, argument, argc > 3 ? std::atof(argv[3]) : 30.0);
  if (command == "key") status = PressKey(display, argument);
  if (command == "close") status = CloseWindow(display, argument);
  if (command == "resources") status = PrintResources(display);
  XCloseDisplay(display);
  return status;
}
