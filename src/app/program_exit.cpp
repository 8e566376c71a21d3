#include "app/program_exit.h"

#include "app/startup.h"

namespace zeb {

const char kRestartQuestion[] = "ZEB has made changes to your workstation.\rClick OK to restart.";

void ExitProgram(AppServices& services, AppState& state) {
  // Pressed during the scan's message processing while profile hives are loaded: the walk
  // below has keys of them open, which would keep them loaded. The scan ends first and comes
  // back here.
  if (state.scanning && !state.hives.empty()) {
    state.exitAfterScan = true;
    return;
  }
  // The program ends without running destructors: nothing may stay loaded.
  state.hives.UnloadAll();
  const RunFlags& flags = state.flags;
  bool restart = false;
  if (flags.changesMade && flags.rebootAfter)
    restart = !flags.promptUser || services.messages.ConfirmWarning(kRestartQuestion);
  if (restart) services.workstation.system.RequestRestart();
  services.control.EndNow(FinishRun(services, state));
}

int FinishRun(AppServices& services, AppState& state) {
  if (ChangeReport* report = services.report) {
    report->WritePending(state.Changes(), services.list);
    if (report->LastWriteFailed()) state.exitCode.Raise(ExitCode::kSaveFailed);
  }
  return state.exitCode.Value();
}

void OnExitFocusEnter(AppServices& services) { services.progress.SetCursor(Cursor::kArrow); }

void OnExitFocusLeave(AppServices& services) { services.progress.SetCursor(Cursor::kDefault); }

void OnMainWindowClose(AppServices& services, AppState& state) {
  if (state.holdsContext) {
    services.directory.FreeContext(state.dirContext);
    state.holdsContext = false;
  }
  services.directory.FreeUnicodeTables();
  services.main.Hide();
  RequestProgramEnd(services, state);
}

}  // namespace zeb
