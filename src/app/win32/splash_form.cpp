#include "app/win32/splash_form.h"

#include "app/win32/control_ids.h"
#include "app/win32/controls.h"
#include "app/win32/fonts.h"
#include "app/win32/product_picture.h"

namespace zeb::ui {

namespace {

constexpr int kClientWidth = 302;
constexpr int kClientHeight = 423;
constexpr DWORD kStyle = WS_POPUP | WS_CLIPCHILDREN;
constexpr int kTitleFontHeight = -24;

constexpr char kProductName[] = "Alias Scourby Tackwerk";
constexpr char kCredit[] = "Copyright (c) Varnok Consulting";

// Posted by each activation, so that the start-up runs from the message loop rather than
// inside the activation itself.
constexpr UINT kActivatedMessage = WM_APP + 1;

}  // namespace

SplashForm::SplashForm(const ScreenCursor& cursor)
    : class_(kSplashClass, &NativeWindow::Procedure, nullptr),
      font_(MakeSansSerifFont(kNormalFontHeight)),
      titleFont_(MakeSansSerifFont(kTitleFontHeight)),
      picture_(DrawProductPicture()),
      icon_(DrawAboutIcon()),
      white_(CreateSolidBrush(kWhite)),
      cursor_(cursor) {
  Create(class_.name(), "ZEB", kStyle, 0, CentredOnScreen(kClientWidth, kClientHeight),
         nullptr);
  CreateControls();
}

void SplashForm::CreateControls() {
  HWND form = hwnd();
  using namespace splashid;
  const DWORD label = SS_LEFTNOWORDWRAP | SS_NOPREFIX;
  HWND image1 = CreateControl(form, kImage1, "STATIC", "", SS_OWNERDRAW, {0, 0, 303, 422}, nullptr);
  HWND label1 = CreateControl(form, kLabel1, "STATIC", kProductName, label, {13, 379, 248, 29},
                              titleFont_.get());
  HWND label2 = CreateControl(form, kLabel2, "STATIC", kCredit, label, {19, 406, 239, 13},
                              font_.get());
  HWND label3 = CreateControl(form, kLabel3, "STATIC", "", label, {8, 354, 288, 13}, font_.get());
  HWND label4 = CreateControl(form, kLabel4, "STATIC", "", label, {9, 369, 287, 13}, font_.get());
  HWND image2 = CreateControl(form, kImage2, "STATIC", "", SS_OWNERDRAW | SS_NOTIFY,
                              {267, 386, 33, 35}, nullptr);
  // Later rows of the layout are drawn over earlier ones.
  StackInOrder({image2, label4, label3, label2, label1, image1});
}

HWND SplashForm::StatusLabel(int number) const {
  return Control(number == 3 ? splashid::kLabel3 : splashid::kLabel4);
}

void SplashForm::ShowFirst() {
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  UpdateWindow(hwnd());
  SetForegroundWindow(hwnd());
}

void SplashForm::PaintNow() { RepaintNow(hwnd()); }

void SplashForm::Hide() { ShowWindow(hwnd(), SW_HIDE); }

bool SplashForm::IsVisible() { return IsWindowVisible(hwnd()) != FALSE; }

void SplashForm::WidenForMessagePanel() {
  RECT outer{};
  GetWindowRect(hwnd(), &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  MoveWindow(hwnd(), outer.left - width / 2, outer.top, 2 * width, height, TRUE);
  // Read-only and without scroll bars; long lines wrap at the right edge.
  HWND panel = CreateControl(hwnd(), splashid::kMessagePanel, "EDIT", "",
                             ES_MULTILINE | ES_READONLY, {width, 0, width, height}, font_.get());
  constexpr int kTextMargin = 4;
  SendMessageA(panel, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
               MAKELPARAM(kTextMargin, kTextMargin));
  ShowWindow(panel, SW_HIDE);
}

void SplashForm::ShowMessagePanel(const std::vector<std::string>& lines) {
  HWND panel = Control(splashid::kMessagePanel);
  if (!panel) return;
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  SetWindowTextA(panel, text.c_str());
  ShowWindow(panel, SW_SHOW);
}

void SplashForm::ShowAboutBox(const std::string& caption, const std::string& text) {
  MessageBoxA(hwnd(), text.c_str(), caption.c_str(), MB_OK);
}

void SplashForm::DrawImage(const DRAWITEMSTRUCT& item) const {
  FillRect(item.hDC, &item.rcItem, white_.get());
  if (item.CtlID == static_cast<UINT>(splashid::kImage2)) {
    DrawIconEx(item.hDC, 0, 0, icon_.get(), kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    return;
  }
  const MemoryDc source(CreateCompatibleDC(item.hDC));
  const Selection selected(source.get(), picture_.get());
  BitBlt(item.hDC, 0, 0, kPictureWidth, kPictureHeight, source.get(), 0, 0, SRCCOPY);
}

LRESULT SplashForm::LabelColours(HDC dc, HWND label) const {
  const int id = GetDlgCtrlID(label);
  const bool red = id == splashid::kLabel1 || id == splashid::kLabel2 ||
                   id == splashid::kMessagePanel;
  SetTextColor(dc, red ? kRed : GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, kWhite);
  return reinterpret_cast<LRESULT>(white_.get());
}

LRESULT SplashForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(hwnd(), &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, white_.get());
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
      return LabelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
      DrawImage(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == splashid::kImage2 && HIWORD(wParam) == STN_CLICKED && events_)
        events_->AboutClicked();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) PostMessageA(hwnd(), kActivatedMessage, 0, 0);
      break;
    case kActivatedMessage:
      if (events_) events_->SplashActivated();
      return 0;
    case WM_SETCURSOR:
      if (cursor_.Override()) return TRUE;
      break;
    case WM_DESTROY:
      // The application's main window: closing it ends the program.
      PostQuitMessage(0);
      return 0;
  }
  return NativeWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace zeb::ui
