#include "app/unattended_run.h"

#include "app/error_report.h"
#include "app/program_exit.h"
#include "app/save_step.h"
#include "app/scan_run.h"

namespace zeb {

void RunUnattended(AppServices& services, AppState& state) {
  if (!state.flags.autoRun || state.endRequested) return;
  MainWindow& main = services.main;
  main.SetTimerEnabled(MainTimer::kUnattendedRun, false);
  if (!state.flags.stealthMode) {
    main.Show();
    main.BringToFront();
  }
  services.progress.ProcessMessages();
  // Without prompts nobody reviews the lines, and nobody should untick one mid-run.
  if (!state.flags.promptUser) main.SetEnabled(MainControl::kList, false);

  // The buttons' handlers, whatever their enabled state. An error is shown and still ends
  // the run through Exit, so that no window waits for a user who is not there; nothing is
  // saved after a scan that did not finish.
  if (ReportErrors(services.messages, [&] { RunScan(services, state); }))
    ReportErrors(services.messages, [&] { RunSave(services, state); });
  ExitProgram(services, state);
}

}  // namespace zeb
