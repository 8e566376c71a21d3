#include "app/win32/window_boxes.h"

namespace zeb::ui {

const char kProgramTitle[] = "ZEB";

HWND WindowBoxes::Owner() const {
  if (HWND active = GetActiveWindow()) return active;
  for (HWND window : owners_)
    if (IsWindowVisible(window)) return window;
  return nullptr;
}

int WindowBoxes::Box(const std::string& text, const char* caption, UINT style) const {
  return MessageBoxA(Owner(), text.c_str(), caption, style);
}

void WindowBoxes::ShowMessage(const std::string& text) { Box(text, kProgramTitle, MB_OK); }

void WindowBoxes::ShowError(const std::string& text) {
  Box(text, kProgramTitle, MB_OK | MB_ICONERROR);
}

bool WindowBoxes::ConfirmInformation(const std::string& text) {
  return Box(text, "Information", MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
}

bool WindowBoxes::ConfirmWarning(const std::string& text) {
  return Box(text, "Warning", MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

}  // namespace zeb::ui
