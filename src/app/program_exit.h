#pragma once
// Exit, the Exit button's cursor, and the main window's close.
#include "app/app_services.h"
#include "app/app_state.h"

namespace zeb {

extern const char kRestartQuestion[];

// Restarts Windows when a Save under "/REBOOT" has run (asking first unless prompts are
// off), then ends the program at once with the run's exit code, after unloading any profile
// hive still loaded. During a scan that holds profile hives ("/ALLUSERS") it only marks the
// run: the scan stops at its next message point, unloads them and calls this again.
void ExitProgram(AppServices& services, AppState& state);

// Every way the program ends comes through here: Exit, the end of the message loop (an end
// request, the splash window closed). Writes the report's messages not yet in the file and
// gives the exit code: the largest of those the run raised, with a report that could not be
// written counted as a failed Save.
int FinishRun(AppServices& services, AppState& state);

void OnExitFocusEnter(AppServices& services);
void OnExitFocusLeave(AppServices& services);

// Releases the directory context and the client's tables, hides the main window and ends
// the program: with the splash window hidden, nothing would be left to end it by.
void OnMainWindowClose(AppServices& services, AppState& state);

}  // namespace zeb
