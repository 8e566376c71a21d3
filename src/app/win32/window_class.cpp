#include "app/win32/window_class.h"

#include "app/win32/resource_ids.h"

namespace zeb::ui {

WindowClass::WindowClass(const char* name, WNDPROC procedure, HBRUSH background, UINT style)
    : name_(name) {
  WNDCLASSEXA description{};
  description.cbSize = sizeof(description);
  description.style = style;
  description.lpfnWndProc = procedure;
  description.hInstance = GetModuleHandleA(nullptr);
  description.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  // A shared icon from the program's resources: nothing to destroy.
  description.hIcon = LoadIconA(description.hInstance, MAKEINTRESOURCEA(ZEB_ICON_ID));
  description.hbrBackground = background;
  description.lpszClassName = name_.c_str();
  atom_ = RegisterClassExA(&description);
}

WindowClass::~WindowClass() {
  if (atom_) UnregisterClassA(name_.c_str(), GetModuleHandleA(nullptr));
}

}  // namespace zeb::ui
