#pragma once
// Exit, the Exit button's cursor, and the main window's close.
#include "app/app_services.h"
#include "app/app_state.h"

namespace zeb {

extern const char kRestartQuestion[];

// Restarts Windows when a Save under "/REBOOT" has run (asking first unless prompts are
// off), then ends the program at once with exit code 0, after unloading any profile hive
// still loaded. During a scan that holds profile hives ("/ALLUSERS") it only marks the run:
// the scan stops at its next message point, unloads them and calls this again.
void ExitProgram(AppServices& services, AppState& state);

void OnExitFocusEnter(AppServices& services);
void OnExitFocusLeave(AppServices& services);

// Releases the directory context and the client's tables, hides the main window and ends
// the program: with the splash window hidden, nothing would be left to end it by.
void OnMainWindowClose(AppServices& services, AppState& state);

}  // namespace zeb
