#include "app/scan_run.h"

#include <algorithm>
#include <array>
#include <memory>

#include "app/program_exit.h"
#include "app/rollback_run.h"
#include "app/shortcut_areas.h"
#include "changes/change_list.h"
#include "directory/names.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace zeb {

const char kNoSearchString[] = "No search string specified.";
const char kShellLinkUnavailable[] = "The shell's shortcut object cannot be created.";
const char kTreeNotFound[] = "The directory tree '%s' cannot be found.";
const char kReportOnlyResult[] = "Changes found: this run only reports them, nothing is written.";

namespace {

const char kExplorerKey[] = "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer";
const char kShellFoldersKey[] = "Shell Folders";

// What one scan run may start and shape: locked for good once the run is under way.
constexpr std::array<MainControl, 8> kScanControls = {
    MainControl::kSearchButton,    MainControl::kProgramMode,     MainControl::kSearchEdit,
    MainControl::kReplaceEdit,     MainControl::kSearchDesktop,   MainControl::kSearchStartMenu,
    MainControl::kSearchIniFiles,  MainControl::kSearchRegistry,
};

class ScanControlLock {
 public:
  explicit ScanControlLock(MainWindow& main) : main_(main) {
    for (std::size_t i = 0; i < kScanControls.size(); ++i) {
      wasEnabled_[i] = main.IsEnabled(kScanControls[i]);
      main.SetEnabled(kScanControls[i], false);
    }
  }
  // Gives the controls back as they were, for a run that could not start.
  void Release() {
    for (std::size_t i = 0; i < kScanControls.size(); ++i)
      main_.SetEnabled(kScanControls[i], wasEnabled_[i]);
  }

 private:
  MainWindow& main_;
  std::array<bool, kScanControls.size()> wasEnabled_{};
};

struct ShellFolders {
  std::string desktop;
  std::string startMenu;
};

// `create`: make the Explorer key when it is missing (not in a run that only reports).
ShellFolders ReadShellFolders(RegistryApi& api, bool create) {
  Registry registry(api, hkey::kCurrentUser);
  ShellFolders folders;
  if (registry.OpenKey(kExplorerKey, create) && registry.OpenKey(kShellFoldersKey, false)) {
    folders.desktop = registry.ReadString("Desktop");
    folders.startMenu = registry.ReadString("Start Menu");
  }
  return folders;
}

// Where the run's own step texts go: the splash window's first status line in stealth mode,
// the main window's Label3 otherwise.
class StepDisplay {
 public:
  StepDisplay(ProgressView& view, bool stealth) : view_(view), stealth_(stealth) {}
  void Show(const std::string& stealthText, const std::string& mainText) {
    if (stealth_)
      view_.SetStatus(StatusLine::kSplash3, stealthText);
    else
      view_.SetStatus(StatusLine::kMain3, mainText);
  }
  void ShowInStealthOnly(const std::string& stealthText) {
    if (stealth_) view_.SetStatus(StatusLine::kSplash3, stealthText);
  }

 private:
  ProgressView& view_;
  bool stealth_;
};

void ScanRegistry(AppServices& services, ScanContext& context, Scanners& scanners,
                  StepDisplay& steps) {
  ProgressView& view = context.view;
  steps.Show("Checking Specific Registry Keys in HKEY_LOCAL_MACHINE",
             RootKeyName(hkey::kLocalMachine));
  view.ProcessMessages();
  if (!context.SearchAndReplace()) scanners.ScanClientKeys();

  steps.ShowInStealthOnly("Searching Registry Keys in HKEY_LOCAL_MACHINE");
  scanners.SearchRegistryTree(hkey::kLocalMachine, "");
  // On Windows NT the walk from the root may fail to open keys of SYSTEM that can be reached
  // from its direct subkeys; each is searched again, and what both find is listed once.
  if (context.IsWindowsNt())
    for (const std::string& name : SystemSubKeyNames(services.workstation.registry))
      scanners.SearchRegistryTree(hkey::kLocalMachine, "\\SYSTEM\\" + name);

  steps.Show("Searching Registry Keys in HKEY_USERS", RootKeyName(hkey::kUsers));
  view.ProcessMessages();
  scanners.SearchRegistryTree(hkey::kUsers, "");
}

// Exit pressed while the scan holds profile hives: the walk has keys of them open, and an open
// key keeps its hive from being unloaded. So Exit only marks the run, the scan stops at its
// next message point, where this is thrown, and the program ends once the walk's keys are
// closed and the hives unloaded.
struct ExitDuringScan {};

// The scan's view: the run's own, and the place where a marked Exit stops the scan.
class ExitWatchingView : public ProgressView {
 public:
  ExitWatchingView(ProgressView& view, const AppState& state) : view_(view), state_(state) {}
  void SetStatus(StatusLine line, const std::string& text) override { view_.SetStatus(line, text); }
  std::string StatusText(StatusLine line) override { return view_.StatusText(line); }
  void ProcessMessages() override {
    view_.ProcessMessages();
    if (state_.exitAfterScan) throw ExitDuringScan{};
  }
  void RepaintList() override { view_.RepaintList(); }
  void SetCursor(Cursor cursor) override { view_.SetCursor(cursor); }
  Cursor CurrentCursor() override { return view_.CurrentCursor(); }

 private:
  ProgressView& view_;
  const AppState& state_;
};

class ScanInProgress {
 public:
  explicit ScanInProgress(AppState& state) : state_(state) { state_.scanning = true; }
  ScanInProgress(const ScanInProgress&) = delete;
  ScanInProgress& operator=(const ScanInProgress&) = delete;
  ~ScanInProgress() { state_.scanning = false; }

 private:
  AppState& state_;
};

// "/ALLUSERS": the hives of the profiles not logged on, loaded for the scan (Save loads them
// again), and their Desktops and Start Menus after the current user's.
std::vector<ShortcutArea> LoadAllUsers(AppServices& services, AppState& state,
                                       std::vector<ShortcutArea> areas) {
  Workstation& workstation = services.workstation;
  const std::vector<UserProfile> profiles =
      ListUserProfiles(workstation.registry, workstation.system);
  state.hives.Load(*services.hives, workstation.registry, profiles, services.report);
  state.scannedHives = state.hives.Hives();
  return AllUserAreas(std::move(areas), workstation.registry, workstation.system, profiles);
}

void ScanAreas(AppServices& services, ScanContext& context, Scanners& scanners,
               StepDisplay& steps, const std::vector<ShortcutArea>& areas) {
  MainWindow& main = services.main;
  for (const ShortcutArea& area : areas)
    if (main.IsTicked(area.box)) scanners.ShortcutScan(area.text, area.folder);
  if (main.IsTicked(SearchArea::kIniFiles)) {
    steps.Show("Checking *.INI files", "*.INI Files");
    context.view.ProcessMessages();
    scanners.ScanIniFiles(services.workstation.system.WindowsDirectory());
  }
  if (main.IsTicked(SearchArea::kRegistry)) ScanRegistry(services, context, scanners, steps);
}

// The directory layer's one message in the middle of a scan says that the directory could
// not answer: shown as ever, and counted in the exit code.
class DirectoryMessages : public MessageBoxes {
 public:
  DirectoryMessages(MessageBoxes& boxes, AppState& state) : boxes_(boxes), state_(state) {}
  void ShowMessage(const std::string& text) override {
    state_.exitCode.Raise(ExitCode::kDirectoryFailed);
    boxes_.ShowMessage(text);
  }
  void ShowError(const std::string& text) override { boxes_.ShowError(text); }
  bool ConfirmInformation(const std::string& text) override {
    return boxes_.ConfirmInformation(text);
  }
  bool ConfirmWarning(const std::string& text) override { return boxes_.ConfirmWarning(text); }

 private:
  MessageBoxes& boxes_;
  AppState& state_;
};

}  // namespace

void ShowScanResult(AppServices& services, AppState& state) {
  ProgressView& view = services.progress;
  if (services.list.LineCount() > 0 && services.mode.reportOnly) {
    // Save stays disabled: the run's result is the report.
    state.exitCode.Raise(ExitCode::kChangesFound);
    view.SetStatus(StatusLine::kMain1, kReportOnlyResult);
  } else if (services.list.LineCount() > 0) {
    services.main.SetEnabled(MainControl::kSaveButton, true);
    view.SetStatus(StatusLine::kMain1, "Press the Save button to write changes.");
  } else {
    view.SetStatus(StatusLine::kMain1, "No targeted objects found.");
  }
  view.SetCursor(Cursor::kDefault);
  view.SetStatus(StatusLine::kMain2, "");
  view.SetStatus(StatusLine::kMain3, "Workstation Scan Completed");
  view.SetStatus(StatusLine::kMain4, "");
}

namespace {

// A run that cannot get its tools gives the controls back, so that it can be tried again.
void AbandonRun(AppServices& services, ScanControlLock& lock, const std::string& error) {
  lock.Release();
  services.progress.SetCursor(Cursor::kDefault);
  services.messages.ShowError(error);
}

// A directory that stopped answering during the run has had every later name count as no
// alias: whoever reads the report must know that the scan is incomplete.
void ReportDirectoryFailure(AppServices& services, AppState& state) {
  const std::string failure = services.directory.FailureDuringRun();
  if (failure.empty()) return;
  state.exitCode.Raise(ExitCode::kDirectoryFailed);
  if (!services.report) return;
  const std::vector<std::string>& told = services.report->Messages();
  if (std::find(told.begin(), told.end(), failure) == told.end())
    services.report->AddMessage(failure);
}

}  // namespace

std::vector<std::string> SystemSubKeyNames(RegistryApi& registry) {
  RegKey opened = 0;
  if (registry.OpenKey(hkey::kLocalMachine, "SYSTEM", KeyAccess::kEnumerateSubKeys, &opened) !=
      winerr::kSuccess)
    return {};
  const KeyHandle key(registry, opened);
  std::vector<std::string> names;
  std::string name;
  for (std::uint32_t index = 0; registry.EnumKey(key.get(), index, &name) == winerr::kSuccess;
       ++index)
    names.push_back(name);
  return names;
}

void RunScan(AppServices& services, AppState& state) {
  if (!services.rollbackJournal.empty()) return ListRestorations(services, state);
  MainWindow& main = services.main;
  const ProgramMode mode = main.SelectedMode();
  const std::string search = main.SearchText();
  if (mode == ProgramMode::kSearchAndReplace && search.empty()) {
    services.messages.ShowMessage(kNoSearchString);
    return;
  }
  ScanControlLock lock(main);
  ProgressView& view = services.progress;
  view.SetCursor(Cursor::kHourglass);

  const ShellFolders folders =
      ReadShellFolders(services.workstation.registry, !services.mode.reportOnly);
  const std::unique_ptr<ShellLink> shellLink = services.workstation.shellLinks.Create();
  if (!shellLink) return AbandonRun(services, lock, kShellLinkUnavailable);
  std::string treeUserName;
  if (!services.directory.FindTree(state.treeName, &treeUserName)) {
    state.exitCode.Raise(ExitCode::kDirectoryFailed);
    return AbandonRun(services, lock, SubstituteArgument(kTreeNotFound, state.treeName));
  }
  state.treeUserName = treeUserName;

  // The run's one memo and one alias index: a name reaches the directory at most once.
  DirectoryMessages directoryMessages(services.messages, state);
  DirectoryNames names(services.directory, state.dirContext, state.treeName, directoryMessages,
                       lookups::kMemoAndIndex);
  const ScanInProgress scanning(state);
  const UnloadAtScopeEnd unloadHives(state.hives);
  std::vector<ShortcutArea> areas = CurrentUserAreas(folders.desktop, folders.startMenu);
  if (state.flags.allUsers && services.hives)
    areas = LoadAllUsers(services, state, std::move(areas));

  ExitWatchingView watchedView(view, state);
  ScanContext context{services.workstation, names,  state.Changes(),     watchedView,
                      state.flags,          mode,   search,              main.ReplaceText(),
                      state.treeUserName,   shellLink.get()};
  const std::unique_ptr<Scanners> scanners = services.scanners.Create(context);
  StepDisplay steps(watchedView, state.flags.stealthMode);
  try {
    ScanAreas(services, context, *scanners, steps, areas);
  } catch (const ExitDuringScan&) {
    // Every key of the walk is closed now; the run ends below, once the hives are unloaded.
  }
  // Before the report is written, so that a hive that stays loaded is in it.
  state.hives.UnloadAll();
  ReportDirectoryFailure(services, state);
  if (state.exitAfterScan) return ExitProgram(services, state);
  ShowScanResult(services, state);
  if (services.report) services.report->Write(state.Changes(), services.list);
}

}  // namespace zeb
