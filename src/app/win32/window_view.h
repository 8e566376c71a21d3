#pragma once
// The status lines, message processing, screen cursor and message boxes of the real windows.
#include <set>

#include "app/win32/main_form.h"
#include "app/win32/message_pump.h"
#include "app/win32/screen_cursor.h"
#include "app/win32/splash_form.h"
#include "platform/view.h"
#include "scan/repaint_throttle.h"

namespace zeb::ui {

// The caption of the program's plain and error boxes.
extern const char kProgramTitle[];

class WindowView : public ProgressView, public MessageBoxes {
 public:
  WindowView(MainForm& main, SplashForm& splash, ScreenCursor& cursor, MessagePump& pump)
      : main_(main), splash_(splash), cursor_(cursor), pump_(pump) {}

  void SetStatus(StatusLine line, const std::string& text) override;
  std::string StatusText(StatusLine line) override;
  void ProcessMessages() override { pump_.ProcessPending(); }
  void RepaintList() override;
  void SetCursor(Cursor cursor) override { cursor_.Set(cursor); }
  Cursor CurrentCursor() override { return cursor_.Current(); }

  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  bool ConfirmInformation(const std::string& text) override;
  bool ConfirmWarning(const std::string& text) override;

 private:
  HWND Label(StatusLine line) const;
  // The window a box belongs to: the active one, else whichever of the two is on screen.
  HWND BoxOwner() const;
  int Box(const std::string& text, const char* caption, UINT style) const;

  MainForm& main_;
  SplashForm& splash_;
  ScreenCursor& cursor_;
  MessagePump& pump_;
  RepaintThrottle statusPaints_{std::chrono::milliseconds(100)};
  RepaintThrottle listPaints_;
  std::set<HWND> unpainted_;  // labels whose text was set since they were last painted
};

}  // namespace zeb::ui
