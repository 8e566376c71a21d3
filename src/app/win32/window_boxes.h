#pragma once
// The program's message boxes, owned by whichever of its windows is there to own them.
#include <windows.h>

#include <vector>

#include "platform/view.h"

namespace zeb::ui {

// The caption of the program's plain and error boxes.
extern const char kProgramTitle[];

class WindowBoxes : public MessageBoxes {
 public:
  // A window that may own a box while it is on screen; until one is given (the windows
  // could not be made), boxes have no owner.
  void AddOwner(HWND window) { owners_.push_back(window); }

  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  bool ConfirmInformation(const std::string& text) override;
  bool ConfirmWarning(const std::string& text) override;

 private:
  // The active window, else the first of the owners on screen.
  HWND Owner() const;
  int Box(const std::string& text, const char* caption, UINT style) const;

  std::vector<HWND> owners_;
};

}  // namespace zeb::ui
