#pragma once
// The program's event handlers, as the windows call them. Those that can raise an error run
// under the general error handler, which shows it.
#include "app/app_services.h"
#include "app/app_state.h"

namespace zeb {

class Program {
 public:
  explicit Program(const AppServices& services);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Splash window (TForm3).
  void OnSplashActivate();
  void OnAboutClick();  // Image2

  // Main window (Tform1).
  void OnSearchClick();  // Button1: the scan run
  void OnSaveClick();    // Button2
  void OnExitClick();    // Button3
  void OnExitFocusEnter();
  void OnExitFocusLeave();
  void OnProgramModeClick();
  void OnMainWindowClose();    // closed through its frame
  void OnUnattendedRunTimer();  // Timer1
  void OnHandOverTimer();       // Timer2

  // After the message loop has ended: the exit code (FinishRun).
  int Finish();

  AppState& State() { return state_; }
  const ChangeList& Changes() { return state_.Changes(); }

 private:
  void Handle(void (*handler)(AppServices&, AppState&));

  AppServices services_;
  AppState state_;
};

}  // namespace zeb
