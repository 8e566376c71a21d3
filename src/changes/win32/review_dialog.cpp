#include "changes/win32/review_dialog.h"

#include <vector>

#include "app/win32/control_ids.h"
#include "app/win32/controls.h"
#include "app/win32/fonts.h"

namespace zeb::ui {

namespace {

constexpr char kCaption[] = "Workstation Change";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr int kWidth = 682;
constexpr int kHeight = 283;

constexpr int kCaptionRightEdge = 80;
constexpr int kCaptionHeight = 13;
constexpr int kPanelLeft = 88;
constexpr int kPanelWidth = 577;
// The value label's place inside its panel, counted from the panel's outer edge.
constexpr int kValueInset = 8;
constexpr int kValueWidth = 561;

struct Row {
  int captionId;
  const char* designCaption;
  int captionTop;
  int panelId;
  int panelTop;
  int panelHeight;
  int valueId;
  int valueHeight;
};

constexpr Row kRows[] = {
    {reviewid::kElement, "Element:", 16, reviewid::kOperationPanel, 8, 33, reviewid::kOperation,
     13},
    {reviewid::kLabel1, "Change:", 64, reviewid::kSubjectPanel, 56, 49, reviewid::kSubject, 33},
    {reviewid::kLabel2, "From:", 120, reviewid::kOldNamePanel, 112, 49, reviewid::kOldName, 33},
    {reviewid::kLabel3, "To:", 176, reviewid::kNewNamePanel, 168, 49, reviewid::kNewName, 33},
};

// Disables the program's other windows while the dialog is up, and enables them again.
class OtherWindowsDisabled {
 public:
  explicit OtherWindowsDisabled(HWND dialog) : dialog_(dialog) {
    EnumThreadWindows(GetCurrentThreadId(), &OtherWindowsDisabled::Visit,
                      reinterpret_cast<LPARAM>(this));
  }
  ~OtherWindowsDisabled() {
    for (HWND window : disabled_) EnableWindow(window, TRUE);
  }
  OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
  OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

 private:
  static BOOL CALLBACK Visit(HWND window, LPARAM self) {
    auto* disabler = reinterpret_cast<OtherWindowsDisabled*>(self);
    if (window != disabler->dialog_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
      EnableWindow(window, FALSE);
      disabler->disabled_.push_back(window);
    }
    return TRUE;
  }

  HWND dialog_;
  std::vector<HWND> disabled_;
};

// The screen cursor as it was, given back when the review ends.
class CursorRestorer {
 public:
  explicit CursorRestorer(ProgressView& view) : view_(view), remembered_(view.CurrentCursor()) {}
  ~CursorRestorer() { view_.SetCursor(remembered_); }
  CursorRestorer(const CursorRestorer&) = delete;
  CursorRestorer& operator=(const CursorRestorer&) = delete;

 private:
  ProgressView& view_;
  Cursor remembered_;
};

}  // namespace

ReviewDialog::ReviewDialog(HWND owner, ProgressView& view, MessagePump& pump)
    : class_(kReviewClass, &NativeWindow::Procedure, GetSysColorBrush(COLOR_BTNFACE)),
      font_(MakeSansSerifFont(kNormalFontHeight)),
      view_(view),
      pump_(pump) {
  Create(class_.name(), kCaption, kStyle, kExStyle, CentredOnScreen(kWidth, kHeight), owner);
  CreateControls();
  pump_.AddKeyboardNavigation(hwnd());
}

void ReviewDialog::CreateControls() {
  HWND dialog = hwnd();
  for (const Row& row : kRows) {
    CreateControl(dialog, row.captionId, "STATIC", "", SS_RIGHT | SS_NOPREFIX,
                  {kCaptionRightEdge, row.captionTop, 0, kCaptionHeight}, font_.get());
    SetCaption(row.captionId, row.designCaption);
    // A lowered one-pixel bevel, as the panels have; the label inside wraps its words.
    HWND panel = CreateControl(dialog, row.panelId, "STATIC", "", 0,
                               {kPanelLeft, row.panelTop, kPanelWidth, row.panelHeight},
                               font_.get(), WS_EX_STATICEDGE);
    const int border = GetSystemMetrics(SM_CXBORDER);
    CreateControl(panel, row.valueId, "STATIC", "", SS_LEFT | SS_NOPREFIX,
                  {kValueInset - border, kValueInset - border, kValueWidth, row.valueHeight},
                  font_.get());
  }
  CreateControl(dialog, reviewid::kButton1, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP,
                {272, 224, 75, 25}, font_.get());
}

void ReviewDialog::SetCaption(int id, const std::string& text) {
  HWND label = Control(id);
  SetWindowTextA(label, text.c_str());
  FitLabelToRightEdge(label, kCaptionRightEdge);
}

void ReviewDialog::SetTexts(const ReviewTexts& texts) {
  SetCaption(reviewid::kElement, texts.element);
  SetCaption(reviewid::kLabel1, texts.subjectCaption);
  SetCaption(reviewid::kLabel2, texts.oldCaption);
  SetCaption(reviewid::kLabel3, texts.newCaption);
  const auto setValue = [this](int panel, int value, const std::string& text) {
    SetWindowTextA(GetDlgItem(Control(panel), value), text.c_str());
  };
  setValue(reviewid::kOperationPanel, reviewid::kOperation, texts.operation);
  setValue(reviewid::kSubjectPanel, reviewid::kSubject, texts.subject);
  setValue(reviewid::kOldNamePanel, reviewid::kOldName, texts.oldName);
  setValue(reviewid::kNewNamePanel, reviewid::kNewName, texts.newName);
}

void ReviewDialog::ShowChange(const ChangeList& changes, int selectedLine) {
  const std::size_t index = selectedLine < 0 ? 0 : static_cast<std::size_t>(selectedLine);
  if (index >= changes.size()) return;
  const CursorRestorer cursor(view_);
  view_.SetCursor(Cursor::kDefault);
  SetTexts(ReviewTextsFor(changes[index]));
  RunModal();
}

void ReviewDialog::RunModal() {
  closed_ = false;
  {
    const OtherWindowsDisabled others(hwnd());
    ShowWindow(hwnd(), SW_SHOW);
    SetFocus(Control(reviewid::kButton1));
    pump_.RunUntil([this] { return closed_; });
    // Enabled again before the dialog goes, so that the activation returns to its owner.
  }
  ShowWindow(hwnd(), SW_HIDE);
  closed_ = true;
}

LRESULT ReviewDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) closed_ = true;
      return 0;
    case WM_CLOSE:
      // The close box ends the review like OK; the dialog is kept for the next one.
      closed_ = true;
      return 0;
  }
  return NativeWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace zeb::ui
