#include "app/win32/window_timer.h"

namespace zeb::ui {

void WindowTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_ || !window_) return;
  if (enabled)
    enabled_ = SetTimer(window_, id_, interval_, nullptr) != 0;
  else {
    KillTimer(window_, id_);
    enabled_ = false;
  }
}

}  // namespace zeb::ui
