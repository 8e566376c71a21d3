#pragma once
// The screen cursor: while it is anything but the default, every window of the program shows
// it instead of its own cursor (the windows ask through WM_SETCURSOR).
#include "platform/view.h"

namespace zeb::ui {

class ScreenCursor {
 public:
  // Shows the cursor at once, not only when the mouse next moves.
  void Set(Cursor cursor);
  Cursor Current() const { return current_; }
  // For WM_SETCURSOR: true when the screen cursor overrides the window's own and has been
  // shown.
  bool Override() const;

 private:
  Cursor current_ = Cursor::kDefault;
};

}  // namespace zeb::ui
