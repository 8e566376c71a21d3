#pragma once
// The splash window's own behaviour: activation, hand-over to the main window, the message
// panel and the About box.
#include <string>

#include "app/app_services.h"
#include "app/app_state.h"

namespace zeb {

// Every activation paints the splash and starts the hand-over timer; the first also runs
// the start-up.
void OnSplashActivate(AppServices& services, AppState& state);

// Three seconds after activation: the main window takes over, except in stealth mode, where
// the splash window stays as the only window of the run.
void HandOverToMainWindow(AppServices& services, AppState& state);

// Widens the splash window and shows the file with environment variables expanded. Nothing
// happens for a file that does not exist; one that cannot be read raises
// "Cannot open file %s" after the window has been widened.
void ShowMessageFile(AppServices& services, AppState& state, const std::string& path);

extern const char kAboutCaption[];
extern const char kAboutText[];
void ShowAbout(AppServices& services, const AppState& state);

}  // namespace zeb
