#pragma once
// The main window's check-list: an owner-drawn list box that draws a tick box in front of
// each line. A click in the box or the space bar toggles the tick; a double-click elsewhere
// on a line is reported to the parent as LBN_DBLCLK. A scan adds lines far faster than anyone
// reads them, and a shown list box repaints its lines and scroll bar for each one added: the
// list holds its painting while lines come in and paints them together, at the latest
// kPaintIntervalMs after the first one held.
#include <windows.h>

#include "app/win32/controls.h"
#include "platform/view.h"

namespace zeb::ui {

class CheckListBox : public CheckList {
 public:
  void Create(HWND parent, int id, const Bounds& bounds, HFONT font);
  HWND hwnd() const { return hwnd_; }

  void AppendLine(const std::string& text, bool ticked) override;
  std::size_t LineCount() override;
  bool IsTicked(std::size_t line) override;
  bool IsEnabled() override;

  // The selected line, or -1 when none is.
  int SelectedLine() const;

  // Paints the list at once, with every line added since it last painted.
  void Repaint();
  // The same, only when lines are waiting to be painted.
  void PaintHeldLines() {
    if (held_) Repaint();
  }

  // The parent's WM_DRAWITEM and WM_MEASUREITEM for this list.
  void Draw(const DRAWITEMSTRUCT& item) const;
  static constexpr int kLineHeight = 13;
  static constexpr UINT kPaintIntervalMs = 250;

 private:
  static LRESULT CALLBACK ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self);
  // True when the point (list client coordinates) was in a line's tick box.
  bool ToggleTickAt(LPARAM point);
  void ToggleTick(int line);
  // Stops the shown list painting itself for each line added, until Repaint or its timer.
  void HoldPainting();

  HWND hwnd_ = nullptr;
  bool held_ = false;
};

}  // namespace zeb::ui
