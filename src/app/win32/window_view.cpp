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
  HWND label = Label(line);
  SetWindowTextA(label, text.c_str());
  // Every text is set, but painted only as often as it can be read; one set in between is
  // painted with the next due one or by the message loop, which the text left to repaint.
  unpainted_.insert(label);
  if (!statusPaints_.Due()) return;
  for (HWND waiting : unpainted_) RepaintNow(waiting);
  unpainted_.clear();
  // Lines are painted with the status lines too: Save, which takes no messages, would
  // otherwise leave the last lines of its scan for the list's timer until it ends.
  // Held to the list's own pace, not the status lines' faster one: a list repaint costs more.
  if (listPaints_.Due()) main_.List().PaintHeldLines();
}

std::string WindowView::StatusText(StatusLine line) { return WindowText(Label(line)); }

void WindowView::RepaintList() {
  // Lines held back by the list are painted by its own timer when this is not due.
  if (listPaints_.Due()) main_.List().Repaint();
}

}  // namespace zeb::ui
