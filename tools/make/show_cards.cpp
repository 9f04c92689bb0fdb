#include "show_cards.h"

#include <cstdio>

#include "title_text.h"

namespace {
Picture Darkened(const Picture& base) {
  Picture picture = base;
  for (Rgb& pixel : picture.pixels) pixel = ScaleRgb(pixel, 0.55);
  return picture;
}

std::string CodePoint(char32_t character) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", unsigned(character));
  return text;
}

void Draw(Picture& picture, const std::string& option, const std::string& text, double centreY, double height,
          std::vector<std::string>& messages) {
  if (text.empty()) return;
  TextLook look;
  look.pixelHeight = int(picture.height * height);
  look.maxWidth = picture.width * 9 / 10;
  look.outline = Rgb{10, 10, 20};
  const DrawnText drawn = DrawText(picture, text, picture.width / 2, int(picture.height * centreY), look);
  if (!drawn.fontFound) {
    messages.push_back("no font found to draw " + option + "; it is left out");
    return;
  }
  if (drawn.badText) messages.push_back(option + " is not UTF-8 text; drawn up to the first bad byte");
  if (!drawn.missing.empty()) {
    std::string list;
    for (char32_t character : drawn.missing) list += (list.empty() ? "" : ", ") + CodePoint(character);
    messages.push_back("the font " + drawn.fontName + " cannot draw " + list + " of " + option +
                       "; drawn without them");
  }
}
}  // namespace

Picture MakeOpeningCard(const Picture& base, const std::string& title, const std::string& subtitle,
                        std::vector<std::string>& messages) {
  if (title.empty() && subtitle.empty()) return base;
  Picture picture = Darkened(base);
  Draw(picture, "--title", title, subtitle.empty() ? 0.5 : 0.42, 0.16, messages);
  Draw(picture, "--subtitle", subtitle, title.empty() ? 0.5 : 0.64, 0.09, messages);
  return picture;
}

Picture MakeEndCard(const Picture& base, const std::string& text, std::vector<std::string>& messages) {
  if (text.empty()) return base;
  Picture picture = Darkened(base);
  Draw(picture, "--end", text, 0.5, 0.16, messages);
  return picture;
}
