#pragma once
// The splash window (TForm3): the first window and the application's main window. It shows
// the product picture, carries the two status lines of a stealth run, and can be widened
// with a message panel.
#include <windows.h>

#include "app/app_window.h"
#include "app/win32/form_events.h"
#include "app/win32/gdi.h"
#include "app/win32/native_window.h"
#include "app/win32/screen_cursor.h"
#include "app/win32/window_class.h"

namespace zeb::ui {

class SplashForm : public NativeWindow, public SplashWindow {
 public:
  explicit SplashForm(const ScreenCursor& cursor);
  ~SplashForm() override { Destroy(); }

  void SetEvents(FormEvents* events) { events_ = events; }
  // Label3 or Label4, the status lines of a stealth run.
  HWND StatusLabel(int number) const;
  // Shows and activates the window; the activation runs the start-up.
  void ShowFirst();

  void PaintNow() override;
  void Hide() override;
  bool IsVisible() override;
  void WidenForMessagePanel() override;
  void ShowMessagePanel(const std::vector<std::string>& lines) override;
  void ShowAboutBox(const std::string& caption, const std::string& text) override;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void CreateControls();
  void DrawImage(const DRAWITEMSTRUCT& item) const;
  LRESULT LabelColours(HDC dc, HWND label) const;

  WindowClass class_;
  Font font_;       // the window's and Label2's, also the message panel's
  Font titleFont_;  // Label1
  Bitmap picture_;  // Image1
  Icon icon_;       // Image2
  Brush white_;
  const ScreenCursor& cursor_;
  FormEvents* events_ = nullptr;
};

}  // namespace zeb::ui
