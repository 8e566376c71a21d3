#include "app/splash.h"

#include <stdexcept>

#include "app/message_file.h"
#include "app/startup.h"
#include "platform/text.h"

namespace zeb {

const char kAboutCaption[] = "About ZEB";
const char kAboutText[] =
    "ZEB - VRX Alias Scourby Tackwerk\r\r"
    "Finds the names of VRX directory objects that have become aliases in this "
    "workstation's shortcuts, INI files and Registry, and puts the names of the objects "
    "they point to in their place.\r\r"
    "Written by Varnok Consulting.";

void OnSplashActivate(AppServices& services, AppState& state) {
  services.splash.PaintNow();
  services.main.SetTimerEnabled(MainTimer::kSplashHandOver, true);
  if (state.startUpBegun) return;
  // Set first: the start-up's message boxes reactivate the splash window.
  state.startUpBegun = true;
  RunStartUp(services, state);
}

void HandOverToMainWindow(AppServices& services, AppState& state) {
  if (!state.flags.stealthMode) {
    services.splash.Hide();
    services.main.Show();
  }
  services.main.SetTimerEnabled(MainTimer::kSplashHandOver, false);
}

void ShowMessageFile(AppServices& services, AppState& state, const std::string& path) {
  if (!services.files.Exists(path)) return;
  // A second "/MESSAGE=" shows its file in the panel the first one made.
  if (!state.messagePanelMade) {
    services.splash.WidenForMessagePanel();
    state.messagePanelMade = true;
  }
  std::optional<std::vector<std::string>> lines = services.files.ReadLines(path);
  if (!lines) throw std::runtime_error(SubstituteArgument("Cannot open file %s", path));
  for (std::string& line : *lines)
    line = ExpandEnvironmentInLine(std::move(line), services.workstation.system);
  services.splash.ShowMessagePanel(*lines);
}

void ShowAbout(AppServices& services, const AppState& state) {
  if (state.flags.stealthMode) return;
  services.splash.ShowAboutBox(kAboutCaption, kAboutText);
}

}  // namespace zeb
