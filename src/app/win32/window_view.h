#pragma once
// The status lines, message processing and screen cursor of the real windows.
#include <set>

#include "app/win32/main_form.h"
#include "app/win32/message_pump.h"
#include "app/win32/screen_cursor.h"
#include "app/win32/splash_form.h"
#include "platform/view.h"
#include "scan/repaint_throttle.h"

namespace zeb::ui {

class WindowView : public ProgressView {
 public:
  WindowView(MainForm& main, SplashForm& splash, ScreenCursor& cursor, MessagePump& pump)
      : main_(main), splash_(splash), cursor_(cursor), pump_(pump) {}

  void SetStatus(StatusLine line, const std::string& text) override;
  std::string StatusText(StatusLine line) override;
  void ProcessMessages() override { pump_.ProcessPending(); }
  void RepaintList() override;
  void SetCursor(Cursor cursor) override { cursor_.Set(cursor); }
  Cursor CurrentCursor() override { return cursor_.Current(); }

 private:
  HWND Label(StatusLine line) const;

  MainForm& main_;
  SplashForm& splash_;
  ScreenCursor& cursor_;
  MessagePump& pump_;
  RepaintThrottle statusPaints_{std::chrono::milliseconds(100)};
  RepaintThrottle listPaints_;
  std::set<HWND> unpainted_;  // labels whose text was set since they were last painted
};

}  // namespace zeb::ui
