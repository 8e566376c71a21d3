#include "app/win32/fonts.h"

#include <cstring>

namespace zeb::ui {

Font MakeSansSerifFont(int height) {
  return Font(CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_SWISS, "MS Sans Serif"));
}

int TextWidth(HFONT font, const char* text) {
  ScreenDc screen;
  const Selection selected(screen.get(), font);
  SIZE size{};
  GetTextExtentPoint32A(screen.get(), text, static_cast<int>(std::strlen(text)), &size);
  return size.cx;
}

}  // namespace zeb::ui
