#pragma once
// The start-up: directory tree and client, run flag defaults, the command line.
#include <string>

#include "app/app_services.h"
#include "app/app_state.h"

namespace zeb {

// The program's own Registry key under HKEY_LOCAL_MACHINE and its one value.
extern const char kProgramKeyPath[];
extern const char kLastRunValue[];
// Added to the main window's title in a run that only reports ("/REPORTONLY").
extern const char kReportOnlyTitle[];

enum class StartUpOutcome {
  kComplete,      // possibly with the program asked to end ("/STARTING=")
  kClientFailed,  // a directory client step failed; flags keep their all-off values
  kEndedAtError,  // an invalid date, an unreadable message file or a bad "Last Run"
};

StartUpOutcome RunStartUp(AppServices& services, AppState& state);

// Asks once for the program to end when control returns to the message loop.
void RequestProgramEnd(AppServices& services, AppState& state);

}  // namespace zeb
