#pragma once
// The windows' events wired to the program's handlers and to the review dialog.
#include "app/program.h"
#include "app/win32/form_events.h"
#include "app/win32/main_form.h"
#include "app/win32/program_life.h"
#include "changes/win32/review_dialog.h"

namespace zeb::ui {

class ProgramEvents : public FormEvents {
 public:
  ProgramEvents(Program& program, MainForm& main, ReviewDialog& review, ProgramLife& life,
                MessageBoxes& messages)
      : program_(program), main_(main), review_(review), life_(life), messages_(messages) {}

  void SplashActivated() override { program_.OnSplashActivate(); }
  void AboutClicked() override { program_.OnAboutClick(); }
  void SearchClicked() override { program_.OnSearchClick(); }
  void SaveClicked() override { program_.OnSaveClick(); }
  void ExitClicked() override { program_.OnExitClick(); }
  void ExitFocusEntered() override { program_.OnExitFocusEnter(); }
  void ExitFocusLeft() override { program_.OnExitFocusLeave(); }
  void ProgramModeClicked() override { program_.OnProgramModeClick(); }
  void MainWindowClosed() override { program_.OnMainWindowClose(); }
  // Once the program has been asked to end, no timer may start anything: a message box of
  // the start-up could otherwise let one fire before the loop ends the program.
  void UnattendedRunTimer() override;
  void HandOverTimer() override;
  void ListDoubleClicked() override;

 private:
  Program& program_;
  MainForm& main_;
  ReviewDialog& review_;
  ProgramLife& life_;
  MessageBoxes& messages_;
};

}  // namespace zeb::ui
