#pragma once
// The splash window's pictures, drawn at start-up rather than loaded from files: the product
// picture (Image1) and the small icon that opens the About box (Image2).
#include "app/win32/gdi.h"

namespace zeb::ui {

constexpr int kPictureWidth = 300;
constexpr int kPictureHeight = 400;
// Below this line the picture is plain white: the splash window's labels stand there.
constexpr int kPictureWhiteFrom = 340;

Bitmap DrawProductPicture();

constexpr int kIconSize = 32;
Icon DrawAboutIcon();

}  // namespace zeb::ui
