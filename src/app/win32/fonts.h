#pragma once
// The fonts and colours of the windows.
#include <windows.h>

#include "app/win32/gdi.h"

namespace zeb::ui {

// 8 points at 96 pixels per inch: the size of every control's text.
constexpr int kNormalFontHeight = -11;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// "MS Sans Serif" at this height (negative: character height in pixels). Wine maps the
// face to its own substitute where it has none.
Font MakeSansSerifFont(int height);

// The width of the text in pixels when written in this font.
int TextWidth(HFONT font, const char* text);

}  // namespace zeb::ui
