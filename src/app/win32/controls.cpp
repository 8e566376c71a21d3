#include "app/win32/controls.h"

#include <vector>

#include "app/win32/fonts.h"

namespace zeb::ui {

HWND CreateControl(HWND parent, int id, const char* className, const char* text, DWORD style,
                   const Bounds& bounds, HFONT font, DWORD exStyle) {
  HWND control = CreateWindowExA(exStyle, className, text,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, bounds.left,
                                 bounds.top, bounds.width, bounds.height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
  if (control && font) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void StackInOrder(std::initializer_list<HWND> controls) {
  HWND above = HWND_TOP;
  for (HWND control : controls) {
    SetWindowPos(control, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    above = control;
  }
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
  const int got = GetWindowTextA(window, buffer.data(), length + 1);
  return std::string(buffer.data(), got > 0 ? static_cast<std::size_t>(got) : 0);
}

void SetWindowTextNow(HWND window, const std::string& text) {
  SetWindowTextA(window, text.c_str());
  RepaintNow(window);
}

void FitLabelToRightEdge(HWND label, int rightEdge) {
  const auto font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
  const int width = TextWidth(font, WindowText(label).c_str());
  RECT place{};
  GetWindowRect(label, &place);
  MapWindowPoints(nullptr, GetParent(label), reinterpret_cast<POINT*>(&place), 2);
  // A caption wider than the room to its left stays inside the window, a little to the right.
  const int left = rightEdge - width < 0 ? 0 : rightEdge - width;
  MoveWindow(label, left, place.top, width, place.bottom - place.top, TRUE);
}

void RepaintNow(HWND window) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

RECT OuterRectForClient(DWORD style, DWORD exStyle, int left, int top, int clientWidth,
                        int clientHeight) {
  RECT rect{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  return RECT{left, top, left + (rect.right - rect.left), top + (rect.bottom - rect.top)};
}

RECT CentredOnScreen(int width, int height) {
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  return RECT{left, top, left + width, top + height};
}

}  // namespace zeb::ui
