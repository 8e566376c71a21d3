#pragma once
// A window timer that is on or off; enabling one that is already on does not restart it.
// It posts WM_TIMER with its id to its window until disabled.
#include <windows.h>

namespace zeb::ui {

class WindowTimer {
 public:
  WindowTimer(UINT_PTR id, UINT intervalMs) : id_(id), interval_(intervalMs) {}
  ~WindowTimer() { SetEnabled(false); }
  WindowTimer(const WindowTimer&) = delete;
  WindowTimer& operator=(const WindowTimer&) = delete;

  void Attach(HWND window) { window_ = window; }
  UINT_PTR id() const { return id_; }
  bool enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

 private:
  UINT_PTR id_;
  UINT interval_;
  HWND window_ = nullptr;
  bool enabled_ = false;
};

}  // namespace zeb::ui
