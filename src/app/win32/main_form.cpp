#include "app/win32/main_form.h"

#include "app/win32/control_ids.h"
#include "app/win32/controls.h"
#include "app/win32/fonts.h"

namespace zeb::ui {

namespace {

constexpr char kCaption[] = "VRX Alias Scourby Tackwerk";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr int kClientWidth = 637;
constexpr int kClientHeight = 335;

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kTimer2 = 2;

// The "Search" group and its boxes, placed inside it.
constexpr Bounds kGroupBox3Place{16, 8, 137, 89};
constexpr Bounds InGroup(const Bounds& group, int left, int top, int width, int height) {
  return Bounds{group.left + left, group.top + top, width, height};
}

// The radio group lays its items out below its caption, one per row, sharing its height.
constexpr Bounds kProgramModePlace{16, 104, 137, 49};
Bounds RadioItem(HFONT font, int index, int count) {
  TEXTMETRICA metrics{};
  {
    ScreenDc screen;
    const Selection selected(screen.get(), font);
    GetTextMetricsA(screen.get(), &metrics);
  }
  const int room = kProgramModePlace.height - metrics.tmHeight - 5;
  const int itemHeight = room / count;
  const int topMargin = metrics.tmHeight + 1 + (room % count) / 2;
  return Bounds{kProgramModePlace.left + 8, kProgramModePlace.top + topMargin + index * itemHeight,
                kProgramModePlace.width - 10, itemHeight};
}

constexpr int kEditLeft = 224;

// Status lines 2 to 4 are sized to the width of Label1 below them.
constexpr int kStatusWidth = 465;

}  // namespace

MainForm::MainForm(const ScreenCursor& cursor)
    : class_(kMainClass, &NativeWindow::Procedure, GetSysColorBrush(COLOR_BTNFACE)),
      font_(MakeSansSerifFont(kNormalFontHeight)),
      cursor_(cursor),
      unattendedRunTimer_(kTimer1, 1000),
      handOverTimer_(kTimer2, 3000) {
  Create(class_.name(), kCaption, kStyle, kExStyle,
         OuterRectForClient(kStyle, kExStyle, 8, 13, kClientWidth, kClientHeight), nullptr);
  unattendedRunTimer_.Attach(hwnd());
  handOverTimer_.Attach(hwnd());
  CreateControls();
}

void MainForm::CreateControls() {
  HWND form = hwnd();
  HFONT font = font_.get();
  using namespace mainid;
  const DWORD checkBox = BS_AUTOCHECKBOX | WS_TABSTOP;
  const DWORD label = SS_LEFTNOWORDWRAP | SS_NOPREFIX;

  HWND button1 = CreateControl(form, kButton1, "BUTTON", "Search", BS_PUSHBUTTON | WS_TABSTOP,
                               {24, 304, 73, 25}, font);
  list_.Create(form, kListBox1, {16, 160, 609, 137}, font);
  HWND group3 =
      CreateControl(form, kGroupBox3, "BUTTON", "Search", BS_GROUPBOX, kGroupBox3Place, font);
  HWND desktop = CreateControl(form, kSearchDesktop, "BUTTON", "Search Desktop", checkBox,
                               InGroup(kGroupBox3Place, 16, 16, 105, 17), font);
  HWND startMenu = CreateControl(form, kSearchStartMenu, "BUTTON", "Search Start Menu", checkBox,
                                 InGroup(kGroupBox3Place, 16, 32, 113, 17), font);
  HWND iniFiles = CreateControl(form, kSearchIniFiles, "BUTTON", "Search *.INI files", checkBox,
                                InGroup(kGroupBox3Place, 16, 48, 105, 17), font);
  HWND registry = CreateControl(form, kSearchRegistry, "BUTTON", "Search Registry", checkBox,
                                InGroup(kGroupBox3Place, 16, 64, 97, 17), font);
  HWND button2 = CreateControl(form, kButton2, "BUTTON", "Save", BS_PUSHBUTTON | WS_TABSTOP,
                               {104, 304, 75, 25}, font);
  // BS_NOTIFY: the Exit button reports gaining and losing the focus (its arrow cursor).
  HWND button3 = CreateControl(form, kButton3, "BUTTON", "Exit",
                               BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP, {544, 304, 75, 25}, font);
  HWND mode = CreateControl(form, kProgramMode, "BUTTON", "Program Mode", BS_GROUPBOX,
                            kProgramModePlace, font);
  HWND item0 = CreateControl(form, kDereferenceAliases, "BUTTON", "Dereference Aliases",
                             BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, RadioItem(font, 0, 2),
                             font);
  HWND item1 = CreateControl(form, kSearchAndReplace, "BUTTON", "Search and Replace",
                             BS_AUTORADIOBUTTON, RadioItem(font, 1, 2), font);
  HWND search = CreateControl(form, kSearch, "EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP,
                              {kEditLeft, 112, 401, 21}, font, WS_EX_CLIENTEDGE);
  HWND replace = CreateControl(form, kReplace, "EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP,
                               {kEditLeft, 136, 401, 21}, font, WS_EX_CLIENTEDGE);
  HWND label5 = CreateControl(form, kLabel5, "STATIC", "Search for:", SS_RIGHT | WS_GROUP,
                              {172, 112, 52, 13}, font);
  HWND label6 = CreateControl(form, kLabel6, "STATIC", "Replace with:", SS_RIGHT,
                              {159, 136, 65, 13}, font);
  // Right-aligned labels keep their right edge at the edits, whatever the font's widths.
  FitLabelToRightEdge(label5, kEditLeft);
  FitLabelToRightEdge(label6, kEditLeft);
  HWND label3 =
      CreateControl(form, kLabel3, "STATIC", "", label, {160, 8, kStatusWidth, 13}, font);
  HWND label2 =
      CreateControl(form, kLabel2, "STATIC", "", label, {160, 24, kStatusWidth, 13}, font);
  HWND label4 =
      CreateControl(form, kLabel4, "STATIC", "", label, {160, 40, kStatusWidth, 13}, font);
  HWND label1 = CreateControl(form, kLabel1, "STATIC", "", SS_LEFT | SS_NOPREFIX,
                              {160, 64, 465, 25}, font);
  // The z-order is the tab order. The group frames are no tab stops and go to the bottom,
  // below the controls they frame, so that they never hide them.
  StackInOrder({button1, list_.hwnd(), desktop, startMenu, iniFiles, registry, button2, button3,
                item0, item1, search, replace, label5, label6, label3, label2, label4, label1,
                group3, mode});

  for (HWND box : {desktop, startMenu, iniFiles, registry})
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(item0, BM_SETCHECK, BST_CHECKED, 0);
  for (HWND disabled : {label5, search, label6, replace, button2}) EnableWindow(disabled, FALSE);
  lastFocus_ = button1;
}

HWND MainForm::StatusLabel(int number) const {
  switch (number) {
    case 1: return Control(mainid::kLabel1);
    case 2: return Control(mainid::kLabel2);
    case 3: return Control(mainid::kLabel3);
    default: return Control(mainid::kLabel4);
  }
}

HWND MainForm::AreaBox(SearchArea area) const {
  switch (area) {
    case SearchArea::kDesktop: return Control(mainid::kSearchDesktop);
    case SearchArea::kStartMenu: return Control(mainid::kSearchStartMenu);
    case SearchArea::kIniFiles: return Control(mainid::kSearchIniFiles);
    case SearchArea::kRegistry: break;
  }
  return Control(mainid::kSearchRegistry);
}

HWND MainForm::ControlFor(MainControl control) const {
  switch (control) {
    case MainControl::kSearchButton: return Control(mainid::kButton1);
    case MainControl::kSaveButton: return Control(mainid::kButton2);
    case MainControl::kExitButton: return Control(mainid::kButton3);
    case MainControl::kProgramMode: return Control(mainid::kProgramMode);
    case MainControl::kSearchLabel: return Control(mainid::kLabel5);
    case MainControl::kSearchEdit: return Control(mainid::kSearch);
    case MainControl::kReplaceLabel: return Control(mainid::kLabel6);
    case MainControl::kReplaceEdit: return Control(mainid::kReplace);
    case MainControl::kSearchDesktop: return AreaBox(SearchArea::kDesktop);
    case MainControl::kSearchStartMenu: return AreaBox(SearchArea::kStartMenu);
    case MainControl::kSearchIniFiles: return AreaBox(SearchArea::kIniFiles);
    case MainControl::kSearchRegistry: return AreaBox(SearchArea::kRegistry);
    case MainControl::kList: break;
  }
  return list_.hwnd();
}

bool MainForm::IsTicked(SearchArea area) {
  return SendMessageA(AreaBox(area), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainForm::SetTicked(SearchArea area, bool ticked) {
  SendMessageA(AreaBox(area), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

ProgramMode MainForm::SelectedMode() {
  return SendMessageA(Control(mainid::kSearchAndReplace), BM_GETCHECK, 0, 0) == BST_CHECKED
             ? ProgramMode::kSearchAndReplace
             : ProgramMode::kDereferenceAliases;
}

void MainForm::SelectMode(ProgramMode mode) {
  const bool replace = mode == ProgramMode::kSearchAndReplace;
  SendMessageA(Control(mainid::kDereferenceAliases), BM_SETCHECK,
               replace ? BST_UNCHECKED : BST_CHECKED, 0);
  SendMessageA(Control(mainid::kSearchAndReplace), BM_SETCHECK,
               replace ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string MainForm::SearchText() { return WindowText(Control(mainid::kSearch)); }

void MainForm::SetSearchText(const std::string& text) {
  SetWindowTextA(Control(mainid::kSearch), text.c_str());
}

std::string MainForm::ReplaceText() { return WindowText(Control(mainid::kReplace)); }

void MainForm::SetReplaceText(const std::string& text) {
  SetWindowTextA(Control(mainid::kReplace), text.c_str());
}

bool MainForm::IsEnabled(MainControl control) {
  return IsWindowEnabled(ControlFor(control)) != FALSE;
}

void MainForm::SetEnabled(MainControl control, bool enabled) {
  EnableWindow(ControlFor(control), enabled);
  // The radio group's items follow the group.
  if (control == MainControl::kProgramMode)
    for (int item : {mainid::kDereferenceAliases, mainid::kSearchAndReplace})
      EnableWindow(Control(item), enabled);
}

std::string MainForm::Caption() { return WindowText(hwnd()); }

void MainForm::SetCaption(const std::string& caption) { SetWindowTextA(hwnd(), caption.c_str()); }

void MainForm::SetTimerEnabled(MainTimer timer, bool enabled) {
  (timer == MainTimer::kUnattendedRun ? unattendedRunTimer_ : handOverTimer_).SetEnabled(enabled);
}

void MainForm::Show() {
  ShowWindow(hwnd(), SW_SHOW);
  UpdateWindow(hwnd());
}

void MainForm::BringToFront() {
  SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(hwnd());
}

void MainForm::Hide() { ShowWindow(hwnd(), SW_HIDE); }

void MainForm::OnActivate(bool active) {
  if (!active) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd(), focus)) lastFocus_ = focus;
    return;
  }
  // The control that had the focus gets it back; when it has been disabled meanwhile, the
  // first control in the tab order takes it.
  HWND focus = lastFocus_;
  if (!focus || !IsWindowEnabled(focus)) focus = GetNextDlgTabItem(hwnd(), nullptr, FALSE);
  SetFocus(focus ? focus : hwnd());
}

void MainForm::OnCommand(int id, int code) {
  if (!events_) return;
  using namespace mainid;
  switch (id) {
    case kButton1:
      if (code == BN_CLICKED) events_->SearchClicked();
      break;
    case kButton2:
      if (code == BN_CLICKED) events_->SaveClicked();
      break;
    case kButton3:
      if (code == BN_CLICKED) events_->ExitClicked();
      if (code == BN_SETFOCUS) events_->ExitFocusEntered();
      if (code == BN_KILLFOCUS) events_->ExitFocusLeft();
      break;
    case kDereferenceAliases:
    case kSearchAndReplace:
      if (code == BN_CLICKED) events_->ProgramModeClicked();
      break;
    case kListBox1:
      if (code == LBN_DBLCLK) events_->ListDoubleClicked();
      break;
  }
}

LRESULT MainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_DRAWITEM:
      if (wParam == mainid::kListBox1) {
        list_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      }
      break;
    case WM_MEASUREITEM:
      if (wParam == mainid::kListBox1) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = CheckListBox::kLineHeight;
        return TRUE;
      }
      break;
    case WM_TIMER:
      if (events_ && wParam == unattendedRunTimer_.id()) events_->UnattendedRunTimer();
      if (events_ && wParam == handOverTimer_.id()) events_->HandOverTimer();
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_SETCURSOR:
      if (cursor_.Override()) return TRUE;
      break;
    case WM_CLOSE:
      // Closing through the frame hides the window; it is not destroyed.
      if (events_) events_->MainWindowClosed();
      return 0;
  }
  return NativeWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace zeb::ui
