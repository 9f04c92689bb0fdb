// The window system in the browser. The one window is the page's canvas
// (#canvas, a 640x480 drawing buffer) with a WebGL context; full screen is
// the browser's (Fullscreen API), entered at the start of the show and on F1
// with the picture scaled to fit at 4:3 (the page's style); keys on the
// document become the same posted messages as on the other systems. Until
// the show starts the keys are the page's (Enter or Space on its cover), and
// whatever the demo was sent meanwhile is forgotten at the start; a page
// that loses the keyboard releases the keys still held, as SDL does for a
// window that loses the focus.
//
// What it does not do: more than one window, resizing the drawing buffer,
// closing the window (a page is left, not closed), or holding back a drawn
// frame: the browser shows whatever the canvas holds after each frame.
#include "platform/window_system.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <string>

#include "platform/web/gl/gl_layer.h"
#include "platform/web/page_show.h"
#include "platform/web/web_message_queue.h"
#include "platform/web/web_virtual_keys.h"
#include "platform/window_system_shared.h"

struct PlatformWindow {};

namespace {

constexpr int canvasWidth = 640;
constexpr int canvasHeight = 480;

WindowProcedure windowProcedure = nullptr;
PlatformWindow theWindow;
WindowHandle liveWindow = nullptr;
bool wantsFullScreen = false;  // the live window was created full screen
bool showStarted = false;      // full screen needs the click that starts the show
bool canvasUsed = false;       // a window was destroyed: the next one needs a fresh canvas
bool sizeNoticePending = false;
WebMessageQueue pending;  // from the browser's events to PeekDemoMessage
PixelFormatDescriptor chosenFormat;

intptr_t Send(unsigned message, uintptr_t wParam, intptr_t lParam) {
  return windowProcedure ? windowProcedure(liveWindow, message, wParam, lParam) : 0;
}

// Keys the browser keeps for itself: reload, its own full screen, its tools,
// and anything with Control or Meta (its shortcuts).
bool BrowserKeepsKey(const EmscriptenKeyboardEvent& event, unsigned virtualKey) {
  constexpr unsigned reload = VK_F1 + 4, fullScreen = VK_F1 + 10, tools = VK_F12;
  return event.ctrlKey || event.metaKey || virtualKey == reload || virtualKey == fullScreen || virtualKey == tools;
}

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
  const unsigned virtualKey = VirtualKeyOf(event->code, event->key);
  if (virtualKey == 0) return EM_FALSE;
  const bool down = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
  // Alt, F10 and anything pressed with Alt are system keys, as on Windows.
  const bool system = virtualKey == VK_MENU || virtualKey == VK_F10 || event->altKey;
  DemoMessage message;
  message.message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  message.wParam = virtualKey;
  message.lParam = event->repeat ? intptr_t(1) << 30 : 0;  // bit 30: the key was already down
  QueueWebMessage(pending, message, true);
  // Before the start the page's own keys work (Tab, Enter and Space on the
  // cover); a script stepping the waiting show still gets them as messages.
  if (!showStarted) return EM_FALSE;
  return BrowserKeepsKey(*event, virtualKey) ? EM_FALSE : EM_TRUE;  // true: no browser default
}

// A hidden page counts as a minimised window, and has lost the keyboard.
EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
  const bool hidden = event->hidden != 0;
  if (hidden) ReleaseHeldKeys(pending);
  QueueWebMessage(pending, {WM_ACTIVATE, MakeActivateParam(hidden) | (hidden ? 0u : 1u), 0}, false);
  return EM_FALSE;
}

// Another window or tab has the keyboard: its key-ups never reach the page.
EM_BOOL OnBlur(int, const EmscriptenFocusEvent*, void*) {
  ReleaseHeldKeys(pending);
  return EM_FALSE;
}

// The JavaScript below is the browser's; clang-format would split its operators.
// clang-format off

EM_JS(int, PageOffersFullScreen, (), { return document.fullscreenEnabled ? 1 : 0; });

// Full screen on the page's screen (#screen: the canvas's stage, which the
// page's style scales to fit at 4:3, and the page's controls), or on the
// stage where the page has none. Escape belongs to the demo, so the keyboard
// lock asks for it; where the browser does not give it, the page says that
// Escape leaves full screen.
EM_JS(void, RequestPageFullScreen, (), {
  var canvas = document.getElementById('canvas');
  var stage = document.getElementById('screen') || (canvas && canvas.parentElement);
  if (!stage || !stage.requestFullscreen || document.fullscreenElement) return;
  stage.requestFullscreen({navigationUI : 'hide'})
      .then(
          function() {
            var note = function(shown) {
              if (Module.qebKeyboardNote) Module.qebKeyboardNote(shown);
            };
            if (navigator.keyboard && navigator.keyboard.lock)
              navigator.keyboard.lock(['Escape'])
                  .then(
                      function() { note(false); }, function() { note(true); });
            else
              note(true);
          },
          function(error) { console.warn('Qeb: full screen was refused: ' + error); });
});

EM_JS(void, ExitPageFullScreen, (), {
  if (navigator.keyboard && navigator.keyboard.unlock) navigator.keyboard.unlock();
  if (document.fullscreenElement && document.exitFullscreen) document.exitFullscreen().catch(function(){});
});

EM_JS(void, SetPageCursorShown, (int shown), {
  var canvas = document.getElementById('canvas');
  if (canvas && canvas.parentElement) canvas.parentElement.style.cursor = shown ? 'auto' : 'none';
});

// A window that is destroyed takes its GL context and everything in it
// along: a fresh canvas in the old one's place gives the next window a
// fresh WebGL context, as a new window does on the other systems. It is
// put in when the next window opens, so the last picture stays on the page
// once the show has ended.
EM_JS(void, ReplaceCanvas, (), {
  var old = document.getElementById('canvas');
  if (!old) return;
  var fresh = old.cloneNode(false);
  old.parentNode.replaceChild(fresh, old);
  Module.canvas = fresh;
});

EM_JS(void, ShowNoWebGlNotice, (), {
  if (Module.qebNoWebGL) Module.qebNoWebGL();
});

// clang-format on

// The browser's full screen changed. Leaving it through the browser (its
// Escape, its menu) switches the demo to a window as F1 does, by the same
// key message, so the demo's idea of full screen stays the browser's and
// the next F1 enters it again. Full screen granted after the demo had
// switched to a window meanwhile is left again.
EM_BOOL OnFullScreenChange(int, const EmscriptenFullscreenChangeEvent* event, void*) {
  if (!liveWindow || !showStarted) return EM_FALSE;
  const bool browserFullScreen = event->isFullscreen != 0;
  if (browserFullScreen == wantsFullScreen) return EM_FALSE;
  if (wantsFullScreen) {
    QueueWebMessage(pending, {WM_KEYDOWN, VK_F1, 0}, true);
    QueueWebMessage(pending, {WM_KEYUP, VK_F1, 0}, true);
  } else {
    ExitPageFullScreen();
  }
  return EM_FALSE;
}

void ListenToPage(bool listen) {
  const char* const document = EMSCRIPTEN_EVENT_TARGET_DOCUMENT;
  emscripten_set_keydown_callback(document, nullptr, EM_FALSE, listen ? OnKey : nullptr);
  emscripten_set_keyup_callback(document, nullptr, EM_FALSE, listen ? OnKey : nullptr);
  emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, listen ? OnVisibility : nullptr);
  emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, listen ? OnBlur : nullptr);
  emscripten_set_fullscreenchange_callback(document, nullptr, EM_FALSE, listen ? OnFullScreenChange : nullptr);
}

}  // namespace

void StartShowInWindow() {
  showStarted = true;
  DropKeyMessages(pending);
  if (liveWindow && wantsFullScreen) RequestPageFullScreen();
}

bool RegisterWindowClass(const char*, WindowProcedure procedure) {
  windowProcedure = procedure;
  ListenToPage(true);
  return true;
}

bool UnregisterWindowClass(const char*) {
  if (!windowProcedure) return false;
  ListenToPage(false);
  windowProcedure = nullptr;
  return true;
}

// The browser's full screen keeps the display's own mode and scales the
// canvas: any size is granted where the page may go full screen at all.
bool ChangeDisplayMode(int, int, int) { return PageOffersFullScreen() != 0; }

void RestoreDisplayMode() { ExitPageFullScreen(); }

void ShowMouseCursor(bool show) { SetPageCursorShown(show ? 1 : 0); }

WindowHandle CreateDemoWindow(const char*, const char*, int clientWidth, int clientHeight, bool fullscreen) {
  if (liveWindow || clientWidth != canvasWidth || clientHeight != canvasHeight) return nullptr;
  if (canvasUsed) ReplaceCanvas();
  canvasUsed = false;
  liveWindow = &theWindow;
  wantsFullScreen = fullscreen;
  if (showStarted) {
    if (fullscreen)
      RequestPageFullScreen();
    else
      ExitPageFullScreen();
  }
  return liveWindow;
}

bool DestroyDemoWindow(WindowHandle hWnd) {
  if (!hWnd || hWnd != liveWindow) return false;
  liveWindow = nullptr;
  sizeNoticePending = false;
  canvasUsed = true;
  return true;
}

void UseDemoPixelFormat(const PixelFormatDescriptor& descriptor) { chosenFormat = descriptor; }

GlContext CreateGlContext(DeviceContext hDC) {
  if (!hDC) return nullptr;
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.alpha = EM_FALSE;
  attributes.depth = chosenFormat.cDepthBits > 0 ? EM_TRUE : EM_FALSE;
  attributes.stencil = chosenFormat.cStencilBits > 0 ? EM_TRUE : EM_FALSE;
  attributes.antialias = EM_FALSE;
  // The canvas keeps the last frame drawn, so a script can read it back at
  // any time (window.qeb.step), not only inside the frame.
  attributes.preserveDrawingBuffer = EM_TRUE;
  attributes.majorVersion = 1;
  attributes.minorVersion = 0;
  // The GL layer needs no WebGL extension; asking the browser for each one
  // costs a round trip to its GPU process at every new context.
  attributes.enableExtensionsByDefault = EM_FALSE;
  const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context("#canvas", &attributes);
  if (context <= 0) {
    ShowNoWebGlNotice();
    return nullptr;
  }
  return reinterpret_cast<GlContext>(context);
}

bool MakeGlContextCurrent(DeviceContext, GlContext hRC) {
  // The browser presents a frame once the page's task returns, in step with
  // the display: the animation frames pace the clock.
  const auto context = static_cast<EMSCRIPTEN_WEBGL_CONTEXT_HANDLE>(reinterpret_cast<intptr_t>(hRC));
  // What the context leaving still holds is drawn into its canvas first: a
  // frame drawn but not shown (the one on Escape) is what the canvas keeps.
  if (!hRC && emscripten_webgl_get_current_context() > 0) FlushGl();
  if (emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) return false;
  if (!hRC) {
    UseGlSink(nullptr);
    return true;
  }
  // The GL layer sets itself up in every new context, as a driver would.
  std::string error;
  if (!StartWebGlLayer(&error)) {
    std::fprintf(stderr, "WebGL: %s\n", error.c_str());
    return false;
  }
  return true;
}

bool DeleteGlContext(GlContext hRC) {
  if (!hRC) return false;
  const auto context = static_cast<EMSCRIPTEN_WEBGL_CONTEXT_HANDLE>(reinterpret_cast<intptr_t>(hRC));
  return emscripten_webgl_destroy_context(context) == EMSCRIPTEN_RESULT_SUCCESS;
}

void ShowDemoWindow(WindowHandle) { sizeNoticePending = true; }

WindowHandle GetFocusWindow() { return liveWindow; }

// The GL layer draws what it still holds; the browser shows the canvas
// when the frame's task ends.
void SwapDemoBuffers(DeviceContext) {
  FlushGl();
  NoteFrameShown(pending);
}

bool PeekDemoMessage(DemoMessage* message) {
  if (sizeNoticePending) {
    sizeNoticePending = false;
    Send(WM_SIZE, 0, MakeSizeParam(canvasWidth, canvasHeight));
  }
  DemoMessage next;
  bool posted = false;
  while (TakeWebMessage(pending, &next, &posted)) {
    if (posted) {
      *message = next;
      return true;
    }
    Send(next.message, next.wParam, next.lParam);
  }
  return TakePostedQuit(message);
}

intptr_t DispatchDemoMessage(const DemoMessage& message) {
  return Send(message.message, message.wParam, message.lParam);
}

intptr_t DefWindowProc(WindowHandle, unsigned message, uintptr_t wParam, intptr_t) {
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) return Send(WM_CLOSE, 0, 0);
  return 0;
}
