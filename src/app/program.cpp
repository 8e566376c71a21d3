#include "app/program.h"

#include "app/error_report.h"
#include "app/program_exit.h"
#include "app/save_step.h"
#include "app/scan_run.h"
#include "app/search_texts.h"
#include "app/splash.h"
#include "app/unattended_run.h"

namespace zeb {

Program::Program(const AppServices& services)
    : services_(services), state_(services.list, services.progress) {}

void Program::Handle(void (*handler)(AppServices&, AppState&)) {
  ReportErrors(services_.messages, [&] { handler(services_, state_); });
}

void Program::OnSplashActivate() { Handle(&zeb::OnSplashActivate); }

void Program::OnAboutClick() {
  Handle([](AppServices& services, AppState& state) { ShowAbout(services, state); });
}

void Program::OnSearchClick() { Handle(&RunScan); }

void Program::OnSaveClick() { Handle(&RunSave); }

void Program::OnExitClick() { Handle(&ExitProgram); }

void Program::OnExitFocusEnter() { zeb::OnExitFocusEnter(services_); }

void Program::OnExitFocusLeave() { zeb::OnExitFocusLeave(services_); }

void Program::OnProgramModeClick() { ApplySelectedMode(services_.main); }

void Program::OnMainWindowClose() { Handle(&zeb::OnMainWindowClose); }

void Program::OnUnattendedRunTimer() { Handle(&RunUnattended); }

void Program::OnHandOverTimer() { Handle(&HandOverToMainWindow); }

int Program::Finish() { return FinishRun(services_, state_); }

}  // namespace zeb
