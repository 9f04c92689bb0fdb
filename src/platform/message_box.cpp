// Message boxes on SDL. Icons map to SDL's kinds: stop and exclamation to
// error and warning, information to information; a box without an icon is
// shown as information, SDL having no plain kind.
#include "platform/message_box.h"

#include <SDL.h>

#include <atomic>
#include <cstdio>

namespace {

std::atomic<MessageBoxAnswerer> installedAnswerer{nullptr};

Uint32 SdlKindOf(unsigned type) {
  switch (type & MB_ICON_MASK) {
    case MB_ICONSTOP:
      return SDL_MESSAGEBOX_ERROR;
    case MB_ICONEXCLAMATION:
      return SDL_MESSAGEBOX_WARNING;
    default:
      return SDL_MESSAGEBOX_INFORMATION;
  }
}

}  // namespace

int EndingAnswer(unsigned type) { return (type & MB_BUTTON_MASK) == MB_YESNO ? IDNO : IDOK; }

void SetMessageBoxAnswerer(MessageBoxAnswerer answerer) { installedAnswerer.store(answerer); }

int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned type) {
  if (MessageBoxAnswerer answerer = installedAnswerer.load()) return answerer(owner, text, caption, type);

  const SDL_MessageBoxButtonData okButton[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"}};
  const SDL_MessageBoxButtonData yesNoButtons[] = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
                                                   {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"}};
  const bool question = (type & MB_BUTTON_MASK) == MB_YESNO;

  SDL_MessageBoxData box{};
  box.flags = SdlKindOf(type);
  box.window = reinterpret_cast<SDL_Window*>(owner);
  box.title = caption;
  box.message = text;
  box.numbuttons = question ? 2 : 1;
  box.buttons = question ? yesNoButtons : okButton;

  int pressed = -1;
  if (SDL_ShowMessageBox(&box, &pressed) != 0) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return EndingAnswer(type);
  }
  // Closing the box without a button counts as its ending answer.
  return pressed == IDOK || pressed == IDYES || pressed == IDNO ? pressed : EndingAnswer(type);
}
