#include "app/startup.h"

#include <exception>

#include "app/command_line.h"
#include "app/search_texts.h"
#include "app/splash.h"
#include "platform/date.h"
#include "platform/registry.h"

namespace zeb {

const char kProgramKeyPath[] = "\\Software\\Varnok\\Consulting\\ZEB";
const char kLastRunValue[] = "Last Run";
const char kReportOnlyTitle[] = "  (report only: nothing is written)";

namespace {

void ReadTreeName(AppServices& services, AppState& state) {
  DirectoryClient& directory = services.directory;
  directory.SetFullName(directory.DefaultFullName());
  state.treeName = directory.GetTreeName(directory.FullName());
}

// Shows "<call> Failed (<result>)" when the result is a failure; the start-up then ends.
bool ClientStepFailed(AppServices& services, AppState& state, const char* call,
                      std::int32_t result, bool failed) {
  state.lastClientResult = result;
  if (!failed) return false;
  services.messages.ShowMessage(std::string(call) + " Failed (" + std::to_string(result) + ")");
  state.exitCode.Raise(ExitCode::kDirectoryFailed);
  if (state.holdsContext) {
    services.directory.FreeContext(state.dirContext);
    state.holdsContext = false;
  }
  services.progress.SetCursor(Cursor::kDefault);
  return true;
}

bool InitialiseClient(AppServices& services, AppState& state) {
  DirectoryClient& directory = services.directory;
  std::int32_t result = directory.DXCallsInit();
  if (ClientStepFailed(services, state, "DXCallsInit", result, result < 0)) return false;

  result = directory.DXVRCreateContextHandle(&state.dirContext);
  // Released on failure too: the client may have half made it.
  state.holdsContext = true;
  if (ClientStepFailed(services, state, "DXVRCreateContextHandle", result, result != 0))
    return false;

  std::uint32_t contextFlags = 0;
  result = directory.DXVRGetContext(state.dirContext, contextkey::kFlags, &contextFlags);
  if (ClientStepFailed(services, state, "DXVRGetContext", result, result != 0)) return false;

  result = directory.DXVRSetContextFlags(state.dirContext, contextFlags | kTypelessNamesFlag);
  return !ClientStepFailed(services, state, "DXVRSetContext", result, result != 0);
}

// Clients of kind 4 before version 5.2 propose shortcut changes unticked.
void CheckClient(AppServices& services, AppState& state) {
  state.flags.shortcutsTicked = true;
  if (services.directory.GetClientKind() != 4) return;
  const ClientVersion version = services.directory.GetClientVersion();
  if (version.major < 5 || (version.major == 5 && version.minor < 2))
    state.flags.shortcutsTicked = false;
}

// A quiet run is unattended from the first argument on, wherever "/QUIET" stands: an
// argument before it that ends the start-up must not leave a window to hand over to.
void SetDefaults(AppState& state, const RunMode& mode) {
  state.EmptyChangeList();
  RunFlags& flags = state.flags;
  flags.autoRun = mode.quiet;
  flags.noExit = false;
  flags.promptUser = !mode.quiet;
  flags.stealthMode = mode.quiet;
  flags.rebootAfter = false;
  flags.searchClasses = false;
  flags.changesMade = false;
  flags.startingDateGiven = false;
  flags.allUsers = false;
}

// Runs at most once from the given date on: not before it, and not again after a Save
// recorded a run on or after it.
void ApplyStartingDate(AppServices& services, AppState& state, const std::string& value) {
  SystemApi& system = services.workstation.system;
  const std::string picture = system.ShortDateFormat();
  const Date starting = ParseShortDate(value, picture);
  if (system.Today() < starting) RequestProgramEnd(services, state);
  Registry registry(services.workstation.registry, hkey::kLocalMachine);
  // A run that only reports does not even create the program's key.
  if (registry.OpenKey(kProgramKeyPath, !services.mode.reportOnly)) {
    const std::string lastRun = registry.ReadString(kLastRunValue);
    if (!lastRun.empty() && starting <= ParseShortDate(lastRun, picture))
      RequestProgramEnd(services, state);
  }
  state.flags.startingDateGiven = true;
}

void SelectSearchAndReplace(MainWindow& main) {
  main.SelectMode(ProgramMode::kSearchAndReplace);
  EnableSearchTexts(main, true);
}

void ApplySwitch(AppServices& services, AppState& state, const SwitchMatch& match) {
  RunFlags& flags = state.flags;
  MainWindow& main = services.main;
  switch (match.which) {
    case Switch::kStealth:
    case Switch::kQuiet:
      flags.stealthMode = true;
      flags.autoRun = true;
      flags.promptUser = false;
      break;
    case Switch::kAuto: flags.autoRun = true; break;
    case Switch::kNoPrompt: flags.promptUser = false; break;
    case Switch::kNoMenu: main.SetTicked(SearchArea::kStartMenu, false); break;
    case Switch::kNoDesk: main.SetTicked(SearchArea::kDesktop, false); break;
    case Switch::kNoIni: main.SetTicked(SearchArea::kIniFiles, false); break;
    case Switch::kNoReg: main.SetTicked(SearchArea::kRegistry, false); break;
    case Switch::kNoExit: flags.noExit = true; break;
    case Switch::kReboot: flags.rebootAfter = true; break;
    case Switch::kClasses: flags.searchClasses = true; break;
    case Switch::kMessage: ShowMessageFile(services, state, match.value); break;
    case Switch::kSearch:
      SelectSearchAndReplace(main);
      main.SetSearchText(match.value);
      break;
    case Switch::kReplace:
      SelectSearchAndReplace(main);
      main.SetReplaceText(match.value);
      break;
    case Switch::kStarting: ApplyStartingDate(services, state, match.value); break;
    // Read before the start-up, into the run mode: they hold even when it fails.
    case Switch::kReportOnly:
    case Switch::kHelp: break;
    case Switch::kAllUsers: flags.allUsers = true; break;
  }
}

// False when an argument ended the start-up; its error has been shown.
bool ApplyCommandLine(AppServices& services, AppState& state) {
  try {
    for (const std::string& argument : ProgramArguments(services.workstation.system.CommandLine()))
      for (const SwitchMatch& match : MatchSwitches(argument)) ApplySwitch(services, state, match);
  } catch (const std::exception& error) {
    services.messages.ShowError(error.what());
    state.exitCode.Raise(ExitCode::kStartUpEnded);
    // In stealth mode nothing is armed and nobody can end the run: end it here rather
    // than leave the splash window on screen for good.
    if (state.flags.stealthMode) RequestProgramEnd(services, state);
    return false;
  }
  return true;
}

void ArmAutomaticRun(MainWindow& main) {
  for (MainControl box : {MainControl::kSearchRegistry, MainControl::kSearchDesktop,
                          MainControl::kSearchStartMenu, MainControl::kSearchIniFiles})
    main.SetEnabled(box, false);
  main.SetTimerEnabled(MainTimer::kUnattendedRun, true);
  main.SetEnabled(MainControl::kSearchButton, false);
}

}  // namespace

void RequestProgramEnd(AppServices& services, AppState& state) {
  if (state.endRequested) return;
  state.endRequested = true;
  services.control.RequestEnd();
}

StartUpOutcome RunStartUp(AppServices& services, AppState& state) {
  ReadTreeName(services, state);
  MainWindow& main = services.main;
  main.SetCaption(main.Caption() + "  [" + state.treeName + "]");
  if (services.mode.reportOnly) main.SetCaption(main.Caption() + kReportOnlyTitle);
  if (!InitialiseClient(services, state)) {
    // The main window would come up for a user; a quiet run has none, so it ends here.
    if (services.mode.quiet) RequestProgramEnd(services, state);
    return StartUpOutcome::kClientFailed;
  }
  CheckClient(services, state);
  SetDefaults(state, services.mode);
  if (!ApplyCommandLine(services, state)) return StartUpOutcome::kEndedAtError;
  main.SetEnabled(MainControl::kExitButton, !(state.flags.autoRun && state.flags.noExit));
  if (state.flags.autoRun) ArmAutomaticRun(main);
  return StartUpOutcome::kComplete;
}

}  // namespace zeb
