#pragma once
// The one place that takes window messages off the queue: the program's message loop, the
// modal loop of the review dialog, and the scanners' "let pending messages be processed".
#include <windows.h>

#include <functional>
#include <vector>

namespace zeb::ui {

class MessagePump {
 public:
  // Tab, the arrow keys, Enter and Esc move between this window's controls as in a dialog.
  void AddKeyboardNavigation(HWND window);

  // Waits for and dispatches messages until `done` holds (tested before each wait). False
  // when WM_QUIT came first: it is posted again for the loop outside, its code in *quitCode.
  bool RunUntil(const std::function<bool()>& done, int* quitCode = nullptr);

  // Dispatches the messages already waiting, then returns.
  void ProcessPending();

 private:
  void Dispatch(MSG& message);

  std::vector<HWND> navigated_;
};

}  // namespace zeb::ui
