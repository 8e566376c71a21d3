#pragma once
// The main window (Tform1): scan options, mode, search texts, the check-list, four status
// lines and the buttons Search, Save and Exit. Created hidden.
#include <windows.h>

#include "app/app_window.h"
#include "app/win32/check_list_box.h"
#include "app/win32/form_events.h"
#include "app/win32/gdi.h"
#include "app/win32/native_window.h"
#include "app/win32/screen_cursor.h"
#include "app/win32/window_class.h"
#include "app/win32/window_timer.h"

namespace zeb::ui {

class MainForm : public NativeWindow, public MainWindow {
 public:
  explicit MainForm(const ScreenCursor& cursor);
  ~MainForm() override { Destroy(); }

  void SetEvents(FormEvents* events) { events_ = events; }
  CheckListBox& List() { return list_; }
  // Label1 to Label4, the status lines.
  HWND StatusLabel(int number) const;

  bool IsTicked(SearchArea area) override;
  void SetTicked(SearchArea area, bool ticked) override;
  ProgramMode SelectedMode() override;
  void SelectMode(ProgramMode mode) override;
  std::string SearchText() override;
  void SetSearchText(const std::string& text) override;
  std::string ReplaceText() override;
  void SetReplaceText(const std::string& text) override;
  bool IsEnabled(MainControl control) override;
  void SetEnabled(MainControl control, bool enabled) override;
  std::string Caption() override;
  void SetCaption(const std::string& caption) override;
  void SetTimerEnabled(MainTimer timer, bool enabled) override;
  void Show() override;
  void BringToFront() override;
  void Hide() override;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void CreateControls();
  void OnCommand(int id, int code);
  void OnActivate(bool active);
  HWND AreaBox(SearchArea area) const;
  HWND ControlFor(MainControl control) const;

  WindowClass class_;
  Font font_;
  const ScreenCursor& cursor_;
  FormEvents* events_ = nullptr;
  CheckListBox list_;
  WindowTimer unattendedRunTimer_;  // Timer1
  WindowTimer handOverTimer_;       // Timer2
  HWND lastFocus_ = nullptr;        // given back when the window is activated again
};

}  // namespace zeb::ui
