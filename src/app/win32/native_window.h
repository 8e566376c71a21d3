#pragma once
// A top-level window whose messages go to its object's HandleMessage. The window is
// destroyed with its object.
#include <windows.h>

namespace zeb::ui {

class NativeWindow {
 public:
  NativeWindow(const NativeWindow&) = delete;
  NativeWindow& operator=(const NativeWindow&) = delete;
  virtual ~NativeWindow();

  HWND hwnd() const { return hwnd_; }
  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }

  // The window procedure of every class whose windows are NativeWindows.
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  NativeWindow() = default;
  // Destroys the window now. Each form calls it from its own destructor, so that the window
  // goes before the class, fonts and brushes it uses.
  void Destroy();
  // `outer` is the whole window's rectangle in screen coordinates.
  void Create(const char* className, const char* caption, DWORD style, DWORD exStyle,
              const RECT& outer, HWND owner);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace zeb::ui
