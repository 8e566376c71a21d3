#pragma once
// What the events of the windows call: the program's handlers and the review dialog.
namespace zeb::ui {

class FormEvents {
 public:
  virtual ~FormEvents() = default;

  // Splash window (TForm3).
  virtual void SplashActivated() = 0;
  virtual void AboutClicked() = 0;  // Image2

  // Main window (Tform1).
  virtual void SearchClicked() = 0;  // Button1
  virtual void SaveClicked() = 0;    // Button2
  virtual void ExitClicked() = 0;    // Button3
  virtual void ExitFocusEntered() = 0;
  virtual void ExitFocusLeft() = 0;
  virtual void ProgramModeClicked() = 0;
  virtual void MainWindowClosed() = 0;
  virtual void UnattendedRunTimer() = 0;  // Timer1
  virtual void HandOverTimer() = 0;       // Timer2
  virtual void ListDoubleClicked() = 0;   // ListBox1
};

}  // namespace zeb::ui
