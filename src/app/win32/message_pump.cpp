#include "app/win32/message_pump.h"

namespace zeb::ui {

void MessagePump::AddKeyboardNavigation(HWND window) { navigated_.push_back(window); }

bool MessagePump::RunUntil(const std::function<bool()>& done, int* quitCode) {
  MSG message{};
  while (!done()) {
    if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
      const int code = static_cast<int>(message.wParam);
      if (quitCode) *quitCode = code;
      PostQuitMessage(code);
      return false;
    }
    Dispatch(message);
  }
  return true;
}

void MessagePump::ProcessPending() {
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Dispatch(message);
  }
}

void MessagePump::Dispatch(MSG& message) {
  for (HWND window : navigated_)
    if (message.hwnd && (message.hwnd == window || IsChild(window, message.hwnd)) &&
        IsDialogMessageA(window, &message))
      return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

}  // namespace zeb::ui
