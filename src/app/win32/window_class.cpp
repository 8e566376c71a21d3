#include "app/win32/window_class.h"

namespace zeb::ui {

WindowClass::WindowClass(const char* name, WNDPROC procedure, HBRUSH background, UINT style)
    : name_(name) {
  WNDCLASSEXA description{};
  description.cbSize = sizeof(description);
  description.style = style;
  description.lpfnWndProc = procedure;
  description.hInstance = GetModuleHandleA(nullptr);
  description.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  description.hbrBackground = background;
  description.lpszClassName = name_.c_str();
  atom_ = RegisterClassExA(&description);
}

WindowClass::~WindowClass() {
  if (atom_) UnregisterClassA(name_.c_str(), GetModuleHandleA(nullptr));
}

}  // namespace zeb::ui
