#include "app/win32/check_list_box.h"

#include <commctrl.h>

#include <vector>

#include "app/win32/gdi.h"

namespace zeb::ui {

namespace {

// The tick box: 13 pixels square, one pixel in from the left; the text starts after it.
constexpr int kTickBoxLeft = 1;
constexpr int kTickBoxSize = 13;
constexpr int kTextLeft = kTickBoxLeft + kTickBoxSize + 2;

constexpr UINT_PTR kSubclassId = 1;
constexpr UINT_PTR kPaintTimer = 1;

}  // namespace

void CheckListBox::Create(HWND parent, int id, const Bounds& bounds, HFONT font) {
  hwnd_ = CreateControl(parent, id, "LISTBOX", "",
                        WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                            LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                        bounds, font, WS_EX_CLIENTEDGE);
  SendMessageA(hwnd_, LB_SETITEMHEIGHT, 0, kLineHeight);
  SetWindowSubclass(hwnd_, &CheckListBox::ListProcedure, kSubclassId,
                    reinterpret_cast<DWORD_PTR>(this));
}

void CheckListBox::AppendLine(const std::string& text, bool ticked) {
  HoldPainting();
  const LRESULT line = SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (line >= 0) SendMessageA(hwnd_, LB_SETITEMDATA, static_cast<WPARAM>(line), ticked ? 1 : 0);
}

std::size_t CheckListBox::LineCount() {
  const LRESULT count = SendMessageA(hwnd_, LB_GETCOUNT, 0, 0);
  return count > 0 ? static_cast<std::size_t>(count) : 0;
}

bool CheckListBox::IsTicked(std::size_t line) {
  const LRESULT data = SendMessageA(hwnd_, LB_GETITEMDATA, line, 0);
  return data != LB_ERR && data != 0;
}

void CheckListBox::HoldPainting() {
  if (held_ || !IsWindowVisible(hwnd_)) return;
  // The list box keeps its own "no redraw" state: it stays on screen and answers the mouse.
  SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
  held_ = true;
  SetTimer(hwnd_, kPaintTimer, kPaintIntervalMs, nullptr);
}

void CheckListBox::Repaint() {
  if (held_) {
    KillTimer(hwnd_, kPaintTimer);
    SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
    held_ = false;
  }
  RedrawWindow(hwnd_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

bool CheckListBox::IsEnabled() { return IsWindowEnabled(hwnd_) != FALSE; }

int CheckListBox::SelectedLine() const {
  const LRESULT line = SendMessageA(hwnd_, LB_GETCURSEL, 0, 0);
  return line == LB_ERR ? -1 : static_cast<int>(line);
}

void CheckListBox::Draw(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  RECT whole = item.rcItem;
  if (item.itemID == static_cast<UINT>(-1)) {
    // An empty list with the focus shows only the focus frame.
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &whole);
    return;
  }
  const bool enabled = IsWindowEnabled(hwnd_) != FALSE;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;

  FillRect(dc, &whole, GetSysColorBrush(COLOR_WINDOW));
  RECT box{whole.left + kTickBoxLeft, whole.top, whole.left + kTickBoxLeft + kTickBoxSize,
           whole.top + kTickBoxSize};
  UINT boxState = DFCS_BUTTONCHECK | DFCS_FLAT;
  if (item.itemData != 0) boxState |= DFCS_CHECKED;
  if (!enabled) boxState |= DFCS_INACTIVE;
  DrawFrameControl(dc, &box, DFC_BUTTON, boxState);

  RECT text = whole;
  text.left += kTextLeft;
  FillRect(dc, &text, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const LRESULT length = SendMessageA(hwnd_, LB_GETTEXTLEN, item.itemID, 0);
  std::vector<char> line(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, '\0');
  if (length > 0)
    SendMessageA(hwnd_, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(line.data()));
  COLORREF colour = GetSysColor(COLOR_WINDOWTEXT);
  if (!enabled)
    colour = GetSysColor(COLOR_GRAYTEXT);
  else if (selected)
    colour = GetSysColor(COLOR_HIGHLIGHTTEXT);
  const Selection font(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)));
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  RECT written = text;
  written.left += 2;
  DrawTextA(dc, line.data(), -1, &written, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &text);
}

bool CheckListBox::ToggleTickAt(LPARAM point) {
  const int x = static_cast<short>(LOWORD(point));
  const int y = static_cast<short>(HIWORD(point));
  if (x < 0 || x >= kTextLeft) return false;
  const LRESULT hit = SendMessageA(hwnd_, LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
  if (HIWORD(hit) != 0) return false;  // below the last line
  ToggleTick(LOWORD(hit));
  return true;
}

void CheckListBox::ToggleTick(int line) {
  if (line < 0 || line >= static_cast<int>(LineCount())) return;
  SendMessageA(hwnd_, LB_SETITEMDATA, line, IsTicked(line) ? 0 : 1);
  RECT area{};
  if (SendMessageA(hwnd_, LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&area)) != LB_ERR)
    InvalidateRect(hwnd_, &area, FALSE);
}

LRESULT CALLBACK CheckListBox::ListProcedure(HWND list, UINT message, WPARAM wParam,
                                             LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<CheckListBox*>(data);
  switch (message) {
    case WM_LBUTTONDOWN: {
      // The line is selected as usual; a click in its box also toggles the tick.
      const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
      self->ToggleTickAt(lParam);
      return result;
    }
    case WM_LBUTTONDBLCLK:
      // A double-click in a box is two clicks on it, not a request to review the line.
      if (self->ToggleTickAt(lParam)) return 0;
      break;
    case WM_CHAR:
      if (wParam == ' ') {
        self->ToggleTick(static_cast<int>(SendMessageA(list, LB_GETCARETINDEX, 0, 0)));
        return 0;
      }
      break;
    case WM_TIMER:
      if (wParam == kPaintTimer) {
        self->Repaint();
        return 0;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(list, &CheckListBox::ListProcedure, kSubclassId);
      break;
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace zeb::ui
