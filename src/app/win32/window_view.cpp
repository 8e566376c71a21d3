#include "app/win32/window_view.h"

#include "app/win32/controls.h"

namespace zeb::ui {

HWND WindowView::Label(StatusLine line) const {
  switch (line) {
    case StatusLine::kMain1: return main_.StatusLabel(1);
    case StatusLine::kMain2: return main_.StatusLabel(2);
    case StatusLine::kMain3: return main_.StatusLabel(3);
    case StatusLine::kMain4: return main_.StatusLabel(4);
    case StatusLine::kSplash3: return splash_.StatusLabel(3);
    case StatusLine::kSplash4: break;
  }
  return splash_.StatusLabel(4);
}

void WindowView::SetStatus(StatusLine line, const std::string& text) {
  SetWindowTextNow(Label(line), text);
}

std::string WindowView::StatusText(StatusLine line) { return WindowText(Label(line)); }

void WindowView::RepaintList() { RepaintNow(main_.List().hwnd()); }

}  // namespace zeb::ui
