// The window system on SDL2. One window at a time, with an OpenGL
// compatibility context (immediate mode works), a full-screen display mode
// found in the display's own mode list, and SDL's events turned into the
// messages the demo's window procedure expects.
//
// What it does not do: child windows, menus, more than one display (the
// first is used), or text input.
#include "platform/window_system.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/linux/sdl_display_mode.h"
#include "platform/linux/sdl_virtual_keys.h"
#include "platform/process_exit.h"
#include "platform/window_system_shared.h"

namespace {

WindowProcedure windowProcedure = nullptr;
SDL_Window* liveWindow = nullptr;
SDL_DisplayMode grantedMode{};
bool modeGranted = false;
SDL_Window* fullscreenWindow = nullptr;  // the window holding the full-screen mode
bool sizeNoticePending = false;          // a shown window reports its drawable size once

SDL_Window* AsSdl(WindowHandle hWnd) { return reinterpret_cast<SDL_Window*>(hWnd); }
WindowHandle AsHandle(SDL_Window* window) { return reinterpret_cast<WindowHandle>(window); }

intptr_t Send(unsigned message, uintptr_t wParam, intptr_t lParam) {
  return windowProcedure ? windowProcedure(AsHandle(liveWindow), message, wParam, lParam) : 0;
}

// The window's size in pixels (not in screen points, which differ on high-DPI screens).
void SendDrawableSize() {
  if (!liveWindow) return;
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(liveWindow, &width, &height);
  Send(WM_SIZE, 0, MakeSizeParam(width, height));
}

// Alt, F10 and anything pressed with Alt are system keys: they reach the
// window procedure as WM_SYSKEYDOWN / WM_SYSKEYUP.
bool IsSystemKey(unsigned virtualKey, Uint16 modifiers) {
  return virtualKey == VK_MENU || virtualKey == VK_F10 || (modifiers & KMOD_ALT);
}

bool IsMinimised() { return liveWindow && (SDL_GetWindowFlags(liveWindow) & SDL_WINDOW_MINIMIZED); }

// Handles one SDL event. Key events become posted messages (true, *message
// filled); window events are sent to the window procedure at once.
bool TranslateEvent(const SDL_Event& event, DemoMessage* message) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const unsigned virtualKey = VirtualKeyOf(event.key.keysym);
      if (virtualKey == 0) return false;
      const bool down = event.type == SDL_KEYDOWN;  // auto-repeat arrives as further key-downs
      const bool system = IsSystemKey(virtualKey, event.key.keysym.mod);
      message->message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
      message->wParam = virtualKey;
      message->lParam = event.key.repeat ? intptr_t(1) << 30 : 0;  // bit 30: the key was already down
      return true;
    }
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_MINIMIZED:
          Send(WM_ACTIVATE, MakeActivateParam(true), 0);
          break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
          Send(WM_ACTIVATE, MakeActivateParam(false) | 1, 0);
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          Send(WM_ACTIVATE, MakeActivateParam(IsMinimised()) | 1, 0);
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          Send(WM_ACTIVATE, MakeActivateParam(IsMinimised()), 0);
          break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          SendDrawableSize();
          break;
        case SDL_WINDOWEVENT_CLOSE:
          Send(WM_CLOSE, 0, 0);
          break;
        default:
          break;
      }
      return false;
    case SDL_QUIT:  // a termination signal, or the last window closed
      Send(WM_CLOSE, 0, 0);
      return false;
    default:
      return false;
  }
}

// SDL falls back to drivers that draw nowhere when there is no display.
// Unless one was asked for by name, that counts as no display at all.
bool DrawsNowhere() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (std::getenv("SDL_VIDEODRIVER") || !driver) return false;
  return std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

// SDL's video is started by the first registration and kept until the
// process exits; registrations are only counted. F1 unregisters and
// registers again, and a new start would connect to the display anew each
// time, which the display may refuse: an X server that resets once its last
// client has left drops the connections made while it resets. A box shown
// after the last close needs the display as well.
int registrations = 0;

void StopVideo() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

#if defined(SDL_VIDEO_DRIVER_X11)
// The X server went away (it was stopped or crashed, the session ended, an
// SSH forwarding dropped). Xlib's own handler would call exit(), whose
// handlers stop SDL's video, which then waits for a reply on the dead
// connection for ever. There is nothing left to give back to the display:
// the process ends here, at once, without touching the connection again.
// The soundtrack's thread and its audio device end with the process.
int EndOnLostDisplay(Display* display) {
  std::fprintf(stderr, "X connection to %s broken: ending\n", DisplayString(display));
  EndProcess(1);
  return 0;
}
#endif

// Installed once SDL has opened its display, so that it is the handler in
// force for SDL's connection (and for any other this process opens).
void EndOnLostDisplayFromNowOn() {
#if defined(SDL_VIDEO_DRIVER_X11)
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && std::strcmp(driver, "x11") == 0) XSetIOErrorHandler(EndOnLostDisplay);
#endif
}

// On Wayland, SDL 2.26 draws window decorations with libdecor, and libdecor
// goes on sending events for the frame of a destroyed GL window: once F1 has
// made the next window, SDL reads the freed window's data and the process
// crashes. Without libdecor a window is decorated only where the compositor
// draws decorations itself. The hint reaches only SDL's Wayland driver, and
// a value in the environment still wins.
void KeepWaylandWindowsUndecoratedByLibdecor() { SDL_SetHint(SDL_HINT_VIDEO_WAYLAND_ALLOW_LIBDECOR, "0"); }

bool OnWayland() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver && std::strcmp(driver, "wayland") == 0;
}

bool StartVideoOnce() {
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  KeepWaylandWindowsUndecoratedByLibdecor();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  if (DrawsNowhere()) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  // The GL library stays loaded too: SDL unloads it with the last GL window
  // and, on X11, leaves a colormap on the display each time it loads it.
  // Should it fail here, creating the window fails and says so.
  SDL_GL_LoadLibrary(nullptr);
  EndOnLostDisplayFromNowOn();
  std::atexit(StopVideo);
  return true;
}

// SDL does not free the colormap it makes for each X11 window: with the
// connection kept for the whole run, every F1 would leave one behind.
struct WindowColormap {
#if defined(SDL_VIDEO_DRIVER_X11)
  Display* display = nullptr;
  Colormap colormap = None;
#endif
  explicit WindowColormap(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    XWindowAttributes attributes;
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11 &&
        XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes) &&
        attributes.colormap != DefaultColormapOfScreen(attributes.screen)) {
      display = info.info.x11.display;
      colormap = attributes.colormap;
    }
#else
    (void)window;
#endif
  }
  // Once the window is gone.
  void Free() {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (display) XFreeColormap(display, colormap);
#endif
  }
};

void AskForDemoPixelFormat(const PixelFormatDescriptor* descriptor) {
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, !descriptor || (descriptor->dwFlags & PFD_DOUBLEBUFFER) ? 1 : 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, descriptor ? descriptor->cDepthBits : 16);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, descriptor ? descriptor->cStencilBits : 0);
}

}  // namespace

bool RegisterWindowClass(const char*, WindowProcedure procedure) {
  if (!StartVideoOnce()) return false;
  windowProcedure = procedure;
  ++registrations;
  return true;
}

bool UnregisterWindowClass(const char*) {
  if (registrations == 0) return false;
  --registrations;
  return true;
}

bool ChangeDisplayMode(int width, int height, int bits) {
  std::vector<SDL_DisplayMode> modes(size_t(std::max(SDL_GetNumDisplayModes(0), 0)));
  for (size_t i = 0; i < modes.size(); ++i)
    if (SDL_GetDisplayMode(0, int(i), &modes[i]) != 0) modes[i] = SDL_DisplayMode{};
  const int chosen = ChooseDisplayMode(modes.data(), int(modes.size()), width, height, bits);
  modeGranted = chosen >= 0;
  if (modeGranted) grantedMode = modes[size_t(chosen)];
  return modeGranted;
}

void RestoreDisplayMode() {
  if (fullscreenWindow) SDL_SetWindowFullscreen(fullscreenWindow, 0);
  fullscreenWindow = nullptr;
}

void ShowMouseCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

WindowHandle CreateDemoWindow(const char*, const char* title, int clientWidth, int clientHeight, bool fullscreen) {
  // The visual of a GL window is fixed when it is created, so the demo's
  // pixel format is asked for here as well as when it is set.
  AskForDemoPixelFormat(nullptr);
  // A Wayland compositor switches no modes: SDL would scale a 640x480
  // surface to the whole output, out of shape. There the window takes the
  // output's size instead, as it does through XWayland, and its size report
  // gives the projection the output's aspect.
  const bool desktopSized = fullscreen && OnWayland();
  const Uint32 fullscreenFlag = desktopSized ? Uint32(SDL_WINDOW_FULLSCREEN_DESKTOP) : Uint32(SDL_WINDOW_FULLSCREEN);
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | (fullscreen ? fullscreenFlag : Uint32(SDL_WINDOW_RESIZABLE));
  SDL_Window* window = SDL_CreateWindow(title, 0, 0, clientWidth, clientHeight, flags);
  if (!window) return nullptr;
  if (fullscreen && !desktopSized && modeGranted && SDL_SetWindowDisplayMode(window, &grantedMode) != 0) {
    SDL_DestroyWindow(window);
    return nullptr;
  }
  if (fullscreen) fullscreenWindow = window;
  liveWindow = window;
  return AsHandle(window);
}

bool DestroyDemoWindow(WindowHandle hWnd) {
  if (!hWnd) return false;
  SDL_Window* window = AsSdl(hWnd);
  if (window == fullscreenWindow) fullscreenWindow = nullptr;
  if (window == liveWindow) liveWindow = nullptr;
  WindowColormap colormap(window);
  SDL_DestroyWindow(window);
  colormap.Free();
  sizeNoticePending = false;
  return true;
}

void UseDemoPixelFormat(const PixelFormatDescriptor& descriptor) { AskForDemoPixelFormat(&descriptor); }

GlContext CreateGlContext(DeviceContext hDC) {
  if (!hDC) return nullptr;
  return reinterpret_cast<GlContext>(SDL_GL_CreateContext(AsSdl(hDC)));
}

bool MakeGlContextCurrent(DeviceContext hDC, GlContext hRC) {
  if (SDL_GL_MakeCurrent(AsSdl(hDC), reinterpret_cast<SDL_GLContext>(hRC)) != 0) return false;
  // The demo's clock counts frames, so presentation in step with the display
  // is what paces it. Where the driver refuses, frames run unsynchronised.
  if (hRC) SDL_GL_SetSwapInterval(1);
  return true;
}

bool DeleteGlContext(GlContext hRC) {
  if (!hRC) return false;
  SDL_GL_DeleteContext(reinterpret_cast<SDL_GLContext>(hRC));
  return true;
}

void ShowDemoWindow(WindowHandle hWnd) {
  SDL_Window* window = AsSdl(hWnd);
  SDL_ShowWindow(window);
  SDL_RaiseWindow(window);
  SDL_DisableScreenSaver();
  sizeNoticePending = true;
}

WindowHandle GetFocusWindow() { return AsHandle(SDL_GetKeyboardFocus()); }

void SwapDemoBuffers(DeviceContext hDC) { SDL_GL_SwapWindow(AsSdl(hDC)); }

bool PeekDemoMessage(DemoMessage* message) {
  // Another thread (the music thread, after a fatal error) asked to end the
  // process: the desktop gets its display mode back first.
  if (const int status = RequestedEndStatus(); status >= 0) {
    RestoreDisplayMode();
    EndProcess(status);
  }
  // A newly shown window tells its real drawable size first (it differs from
  // the asked size on high-DPI screens).
  if (sizeNoticePending) {
    sizeNoticePending = false;
    SendDrawableSize();
  }
  SDL_Event event;
  while (SDL_PollEvent(&event))
    if (TranslateEvent(event, message)) return true;
  return TakePostedQuit(message);
}

intptr_t DispatchDemoMessage(const DemoMessage& message) {
  return Send(message.message, message.wParam, message.lParam);
}

intptr_t DefWindowProc(WindowHandle hWnd, unsigned message, uintptr_t wParam, intptr_t) {
  if (message != WM_SYSCOMMAND) return 0;
  switch (wParam & 0xFFF0) {
    case SC_CLOSE:
      return Send(WM_CLOSE, 0, 0);
    case SC_MINIMIZE:
      SDL_MinimizeWindow(AsSdl(hWnd));
      return 0;
    default:
      return 0;
  }
}
