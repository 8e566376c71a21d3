#include "app/win32/native_window.h"

#include <stdexcept>
#include <string>

namespace zeb::ui {

NativeWindow::~NativeWindow() { Destroy(); }

void NativeWindow::Destroy() {
  if (!hwnd_) return;
  // Messages sent while the window goes must not reach an object that is going too.
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

void NativeWindow::Create(const char* className, const char* caption, DWORD style,
                          DWORD exStyle, const RECT& outer, HWND owner) {
  // Without its windows the program would wait for messages that never come (no display,
  // say): say so and end instead.
  if (!CreateWindowExA(exStyle, className, caption, style, outer.left, outer.top,
                       outer.right - outer.left, outer.bottom - outer.top, owner, nullptr,
                       GetModuleHandleA(nullptr), this))
    throw std::runtime_error(std::string("Unable to create the window '") + caption + "'");
}

LRESULT NativeWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK NativeWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    auto* self = static_cast<NativeWindow*>(creation->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<NativeWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

}  // namespace zeb::ui
