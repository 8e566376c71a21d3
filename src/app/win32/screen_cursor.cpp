#include "app/win32/screen_cursor.h"

#include <windows.h>

namespace zeb::ui {

namespace {

HCURSOR SystemCursor(Cursor cursor) {
  switch (cursor) {
    case Cursor::kHourglass: return LoadCursorA(nullptr, IDC_WAIT);
    case Cursor::kAppStarting: return LoadCursorA(nullptr, IDC_APPSTARTING);
    case Cursor::kDefault:
    case Cursor::kArrow: break;
  }
  return LoadCursorA(nullptr, IDC_ARROW);
}

}  // namespace

void ScreenCursor::Set(Cursor cursor) {
  current_ = cursor;
  ::SetCursor(SystemCursor(cursor));
}

bool ScreenCursor::Override() const {
  if (current_ == Cursor::kDefault) return false;
  ::SetCursor(SystemCursor(current_));
  return true;
}

}  // namespace zeb::ui
