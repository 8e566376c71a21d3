#pragma once
// The program's own life: its message loop, and the two ways it ends.
#include "app/app_window.h"
#include "app/win32/message_pump.h"

namespace zeb::ui {

class ProgramLife : public ProgramControl {
 public:
  explicit ProgramLife(MessagePump& pump) : pump_(pump) {}

  // Runs the message loop until an end is asked for or WM_QUIT arrives (the splash window
  // has been closed); the result is the program's exit code.
  int Run();

  bool EndRequested() const { return endRequested_; }

  void RequestEnd() override;
  void EndNow(int exitCode) override;

 private:
  MessagePump& pump_;
  bool endRequested_ = false;
};

}  // namespace zeb::ui
