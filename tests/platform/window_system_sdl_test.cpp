// The SDL window system: the key table, system keys, the active state, the
// full-screen mode choice, the swap interval, and the end asked for by
// another thread. Events are pushed into SDL's queue as the display would
// deliver them.
#include <SDL.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/sdl_display_mode.h"
#include "platform/linux/sdl_virtual_keys.h"
#include "platform/process_exit.h"
#include "platform/window_system.h"

// Every change of the full-screen state the window system makes is recorded
// on standard error, then made.
extern "C" int SDL_SetWindowFullscreen(SDL_Window* window, Uint32 flags) {
  using Function = int (*)(SDL_Window*, Uint32);
  static const Function real = reinterpret_cast<Function>(dlsym(RTLD_NEXT, "SDL_SetWindowFullscreen"));
  if (flags == 0) std::fprintf(stderr, "left full screen\n");
  return real(window, flags);
}

namespace {

// ---- The key table ----

struct KeyCase {
  SDL_Scancode scancode;
  SDL_Keycode sym;
  unsigned virtualKey;
};

const KeyCase kKeyCases[] = {
    {SDL_SCANCODE_A, SDLK_a, 'A'},
    {SDL_SCANCODE_Q, SDLK_a, 'A'},          // a layout that puts 'a' where US has 'q'
    {SDL_SCANCODE_1, SDLK_AMPERSAND, '1'},  // digits keep their place whatever they type
    {SDL_SCANCODE_0, SDLK_0, '0'},
    {SDL_SCANCODE_F1, SDLK_F1, 0x70},
    {SDL_SCANCODE_F10, SDLK_F10, 0x79},
    {SDL_SCANCODE_F12, SDLK_F12, 0x7B},
    {SDL_SCANCODE_F13, SDLK_F13, 0x7C},
    {SDL_SCANCODE_F24, SDLK_F24, 0x87},
    {SDL_SCANCODE_KP_0, SDLK_KP_0, 0x60},
    {SDL_SCANCODE_KP_5, SDLK_KP_5, 0x65},
    {SDL_SCANCODE_KP_9, SDLK_KP_9, 0x69},
    {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, 0x6E},
    {SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, 0x6F},
    {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 0x0D},
    {SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, 0xBA},
    {SDL_SCANCODE_EQUALS, SDLK_EQUALS, 0xBB},
    {SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE, 0xC0},
    {SDL_SCANCODE_NONUSBACKSLASH, SDLK_LESS, 0xE2},
    {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 27},
    {SDL_SCANCODE_UP, SDLK_UP, 38},
    {SDL_SCANCODE_PRINTSCREEN, SDLK_PRINTSCREEN, 0x2C},
    {SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR, 0x90},
    {SDL_SCANCODE_LCTRL, SDLK_LCTRL, 0x11},
    {SDL_SCANCODE_RCTRL, SDLK_RCTRL, 0x11},
    {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, 0x10},
    {SDL_SCANCODE_RALT, SDLK_RALT, 0x12},
    {SDL_SCANCODE_LGUI, SDLK_LGUI, 0x5B},
    {SDL_SCANCODE_AUDIOPLAY, SDLK_AUDIOPLAY, 0xB3},
    {SDL_SCANCODE_COPY, SDLK_COPY, 0},  // Windows has no code for it
};

SDL_Keysym Keysym(SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
  SDL_Keysym key{};
  key.scancode = scancode;
  key.sym = sym;
  key.mod = mod;
  return key;
}

TEST(VirtualKeyTest, EachKeyHasItsWindowsCode) {
  for (const KeyCase& key : kKeyCases)
    EXPECT_EQ(VirtualKeyOf(Keysym(key.scancode, key.sym)), key.virtualKey) << SDL_GetScancodeName(key.scancode);
}

// Every key SDL has a name for gives a key message, but for the few that no
// Windows keyboard code exists for.
TEST(VirtualKeyTest, EveryNamedKeyHasACode) {
  const std::vector<SDL_Scancode> withoutCode = {
      SDL_SCANCODE_POWER,    SDL_SCANCODE_AGAIN, SDL_SCANCODE_UNDO, SDL_SCANCODE_CUT,
      SDL_SCANCODE_COPY,     SDL_SCANCODE_PASTE, SDL_SCANCODE_FIND, SDL_SCANCODE_KP_EQUALSAS400,
      SDL_SCANCODE_ALTERASE, SDL_SCANCODE_OUT,   SDL_SCANCODE_OPER, SDL_SCANCODE_MODE,
  };
  std::string missing;
  for (int scancode = 1; scancode < SDL_NUM_SCANCODES; ++scancode) {
    const char* name = SDL_GetScancodeName(SDL_Scancode(scancode));
    if (!name[0] || std::find(withoutCode.begin(), withoutCode.end(), scancode) != withoutCode.end()) continue;
    // Keys that no keyboard sold for Windows has: the calculator keypad's extras and the like.
    if (scancode >= SDL_SCANCODE_KP_00 && scancode <= SDL_SCANCODE_KP_HEXADECIMAL && scancode != SDL_SCANCODE_KP_CLEAR)
      continue;
    if (scancode > SDL_SCANCODE_APP2 || (scancode >= SDL_SCANCODE_BRIGHTNESSDOWN && scancode <= SDL_SCANCODE_EJECT))
      continue;
    if (VirtualKeyOf(Keysym(SDL_Scancode(scancode), SDLK_UNKNOWN)) == 0) missing += std::string(" ") + name;
  }
  EXPECT_EQ(missing, "");
}

TEST(VirtualKeyTest, ScancodesPastTheTableHaveNoCode) {
  EXPECT_EQ(VirtualKeyOf(Keysym(SDL_NUM_SCANCODES, SDLK_UNKNOWN)), 0u);
}

// ---- The mode choice ----

SDL_DisplayMode Mode(int w, int h, int refresh, Uint32 format = SDL_PIXELFORMAT_RGB888) {
  return SDL_DisplayMode{format, w, h, refresh, nullptr};
}

struct ModeCase {
  const char* name;
  std::vector<SDL_DisplayMode> modes;
  int bits;
  int chosen;
};

const ModeCase kModeCases[] = {
    {"SixtyAmongFasterOnes", {Mode(640, 480, 75), Mode(640, 480, 72), Mode(640, 480, 60)}, 16, 2},
    {"ClosestToSixtyAbove", {Mode(640, 480, 85), Mode(640, 480, 75)}, 16, 1},
    {"ClosestToSixtyBelow", {Mode(640, 480, 75), Mode(640, 480, 50)}, 16, 1},
    {"EqualDistanceTakesTheFirst", {Mode(640, 480, 70), Mode(640, 480, 50)}, 16, 0},
    {"UnknownRateComesLast", {Mode(640, 480, 0), Mode(640, 480, 144)}, 16, 1},
    {"OnlyUnknownRate", {Mode(640, 480, 0)}, 16, 0},
    {"OtherSizesAreIgnored", {Mode(800, 600, 60), Mode(640, 400, 60), Mode(640, 480, 75)}, 16, 2},
    {"AskedDepthAtEqualRate", {Mode(640, 480, 60), Mode(640, 480, 60, SDL_PIXELFORMAT_RGB565)}, 16, 1},
    {"RateBeforeDepth", {Mode(640, 480, 75, SDL_PIXELFORMAT_RGB565), Mode(640, 480, 60)}, 16, 1},
    {"NoModeOfTheSize", {Mode(1024, 768, 60)}, 16, -1},
    {"NoModes", {}, 16, -1},
};

void PrintTo(const ModeCase& mode, std::ostream* out) { *out << mode.name; }

class ModeChoiceTest : public testing::TestWithParam<ModeCase> {};

TEST_P(ModeChoiceTest, PrefersSixtyHertz) {
  const ModeCase& c = GetParam();
  EXPECT_EQ(ChooseDisplayMode(c.modes.data(), int(c.modes.size()), 640, 480, c.bits), c.chosen);
}

INSTANTIATE_TEST_SUITE_P(Modes, ModeChoiceTest, testing::ValuesIn(kModeCases),
                         [](const testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.name); });

// ---- Messages from SDL's events, on a real window of the offscreen driver ----

struct Received {
  unsigned message;
  uintptr_t wParam;
};
std::vector<Received> received;

intptr_t RecordingProcedure(WindowHandle, unsigned message, uintptr_t wParam, intptr_t) {
  received.push_back({message, wParam});
  return 0;
}

// A window of SDL's offscreen driver, with a GL context through EGL.
void UseOffscreenDriver() { setenv("SDL_VIDEODRIVER", "offscreen", 1); }

class WindowEventTest : public testing::Test {
 protected:
  void SetUp() override {
    UseOffscreenDriver();
    ASSERT_TRUE(RegisterWindowClass("OpenGL", RecordingProcedure)) << SDL_GetError();
    window = CreateDemoWindow("OpenGL", "Qeb", 640, 480, false);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    Drain();
  }
  void TearDown() override {
    if (window) DestroyDemoWindow(window);
    UnregisterWindowClass("OpenGL");
  }
  // Handles everything waiting; returns the posted messages.
  std::vector<DemoMessage> Drain() {
    std::vector<DemoMessage> posted;
    DemoMessage message;
    while (PeekDemoMessage(&message)) posted.push_back(message);
    received.clear();
    return posted;
  }
  std::vector<DemoMessage> PushAndPeek(SDL_Event event) {
    received.clear();
    EXPECT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    std::vector<DemoMessage> posted;
    DemoMessage message;
    while (PeekDemoMessage(&message)) posted.push_back(message);
    return posted;
  }
  SDL_Event KeyEvent(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
    SDL_Event event{};
    event.type = type;
    event.key.windowID = SDL_GetWindowID(reinterpret_cast<SDL_Window*>(window));
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym = Keysym(scancode, sym, mod);
    return event;
  }

  WindowHandle window = nullptr;
};

struct KeyMessageCase {
  const char* name;
  SDL_Scancode scancode;
  SDL_Keycode sym;
  Uint16 mod;
  unsigned down, up;
};

const KeyMessageCase kKeyMessages[] = {
    {"Letter", SDL_SCANCODE_B, SDLK_b, KMOD_NONE, WM_KEYDOWN, WM_KEYUP},
    {"Punctuation", SDL_SCANCODE_COMMA, SDLK_COMMA, KMOD_NONE, WM_KEYDOWN, WM_KEYUP},
    {"F1", SDL_SCANCODE_F1, SDLK_F1, KMOD_NONE, WM_KEYDOWN, WM_KEYUP},
    {"F10", SDL_SCANCODE_F10, SDLK_F10, KMOD_NONE, WM_SYSKEYDOWN, WM_SYSKEYUP},
    {"LeftAlt", SDL_SCANCODE_LALT, SDLK_LALT, KMOD_NONE, WM_SYSKEYDOWN, WM_SYSKEYUP},
    {"RightAlt", SDL_SCANCODE_RALT, SDLK_RALT, KMOD_NONE, WM_SYSKEYDOWN, WM_SYSKEYUP},
    {"LetterWithAlt", SDL_SCANCODE_X, SDLK_x, KMOD_LALT, WM_SYSKEYDOWN, WM_SYSKEYUP},
    {"LetterWithControl", SDL_SCANCODE_X, SDLK_x, KMOD_LCTRL, WM_KEYDOWN, WM_KEYUP},
};

void PrintTo(const KeyMessageCase& c, std::ostream* out) { *out << c.name; }

class KeyMessageTest : public WindowEventTest, public testing::WithParamInterface<KeyMessageCase> {};

TEST_P(KeyMessageTest, DownAndUpArePostedWithTheKeysCode) {
  const KeyMessageCase& c = GetParam();
  const unsigned code = VirtualKeyOf(Keysym(c.scancode, c.sym));
  ASSERT_NE(code, 0u);
  std::vector<DemoMessage> down = PushAndPeek(KeyEvent(SDL_KEYDOWN, c.scancode, c.sym, c.mod));
  ASSERT_EQ(down.size(), 1u);
  EXPECT_EQ(down[0].message, c.down);
  EXPECT_EQ(down[0].wParam, code);
  std::vector<DemoMessage> up = PushAndPeek(KeyEvent(SDL_KEYUP, c.scancode, c.sym, c.mod));
  ASSERT_EQ(up.size(), 1u);
  EXPECT_EQ(up[0].message, c.up);
  EXPECT_EQ(up[0].wParam, code);
  EXPECT_TRUE(received.empty());  // posted, not sent
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyMessageTest, testing::ValuesIn(kKeyMessages),
                         [](const testing::TestParamInfo<KeyMessageCase>& info) {
                           return std::string(info.param.name);
                         });

struct ActivationCase {
  const char* name;
  SDL_WindowEventID event;
  bool minimised;  // the high word of WM_ACTIVATE's wParam
};

const ActivationCase kActivations[] = {
    {"FocusLostIsNotMinimised", SDL_WINDOWEVENT_FOCUS_LOST, false},
    {"FocusGained", SDL_WINDOWEVENT_FOCUS_GAINED, false},
    {"Minimised", SDL_WINDOWEVENT_MINIMIZED, true},
    {"Restored", SDL_WINDOWEVENT_RESTORED, false},
};

void PrintTo(const ActivationCase& c, std::ostream* out) { *out << c.name; }

class ActivationTest : public WindowEventTest, public testing::WithParamInterface<ActivationCase> {};

// Only minimising clears the demo's active flag; losing the focus to another
// window does not.
TEST_P(ActivationTest, SendsActivateWithTheMinimisedState) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = SDL_GetWindowID(reinterpret_cast<SDL_Window*>(window));
  event.window.event = GetParam().event;
  EXPECT_TRUE(PushAndPeek(event).empty());
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].message, WM_ACTIVATE);
  EXPECT_EQ(HighWord(received[0].wParam) != 0, GetParam().minimised);
}

INSTANTIATE_TEST_SUITE_P(Events, ActivationTest, testing::ValuesIn(kActivations),
                         [](const testing::TestParamInfo<ActivationCase>& info) {
                           return std::string(info.param.name);
                         });

// Making the context current asks for presentation in step with the display.
TEST_F(WindowEventTest, MakingTheContextCurrentAsksForSwapIntervalOne) {
  const PixelFormatDescriptor descriptor{};
  ASSERT_TRUE(SetPixelFormat(window, ChoosePixelFormat(window, descriptor), descriptor));
  GlContext context = CreateGlContext(window);
  ASSERT_NE(context, nullptr) << SDL_GetError();
  SDL_GL_SetSwapInterval(0);
  ASSERT_TRUE(MakeGlContextCurrent(window, context));
  EXPECT_EQ(SDL_GL_GetSwapInterval(), 1);
  MakeGlContextCurrent(nullptr, nullptr);
  DeleteGlContext(context);
}

// A class registered, unregistered and registered again: the video stays
// up in between (no new connection to the display), and only as many
// unregistrations succeed as there were registrations.
TEST(WindowClassTest, UnregisteringKeepsTheVideoUpAndCountsRegistrations) {
  UseOffscreenDriver();
  ASSERT_TRUE(RegisterWindowClass("OpenGL", RecordingProcedure)) << SDL_GetError();
  ASSERT_TRUE(RegisterWindowClass("OpenGL", RecordingProcedure)) << SDL_GetError();
  EXPECT_TRUE(UnregisterWindowClass("OpenGL"));
  EXPECT_TRUE(UnregisterWindowClass("OpenGL"));
  EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  EXPECT_FALSE(UnregisterWindowClass("OpenGL"));
  ASSERT_TRUE(RegisterWindowClass("OpenGL", RecordingProcedure));
  WindowHandle window = CreateDemoWindow("OpenGL", "Qeb", 640, 480, false);
  EXPECT_NE(window, nullptr) << SDL_GetError();
  DestroyDemoWindow(window);
  EXPECT_TRUE(UnregisterWindowClass("OpenGL"));
}

// Another thread's request to end the process is carried out by the next
// message pass of the main thread, not by the requesting thread's own
// fallback, which comes only seconds later; full screen is left first.
TEST(EndRequestTest, TheNextMessagePassLeavesFullScreenAndEnds) {
  EXPECT_EXIT(
      {
        UseOffscreenDriver();
        if (!RegisterWindowClass("OpenGL", RecordingProcedure)) std::_Exit(4);
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(0, 0, &mode) != 0 || !ChangeDisplayMode(mode.w, mode.h, 16)) std::_Exit(4);
        WindowHandle window = CreateDemoWindow("OpenGL", "Qeb", mode.w, mode.h, true);
        if (!window) std::_Exit(4);
        ShowDemoWindow(window);
        std::thread([] { EndProcessFromOtherThread(7); }).detach();
        while (RequestedEndStatus() < 0) std::this_thread::yield();
        DemoMessage message;
        PeekDemoMessage(&message);
        std::_Exit(5);
      },
      testing::ExitedWithCode(7), "^left full screen\n$");
}

}  // namespace
