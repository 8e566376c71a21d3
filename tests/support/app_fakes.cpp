#include "support/app_fakes.h"

#include <stdexcept>

#include "directory/names.h"

namespace zeb::testing {

std::string ControlName(MainControl control) {
  switch (control) {
    case MainControl::kSearchButton: return "Button1";
    case MainControl::kSaveButton: return "Button2";
    case MainControl::kExitButton: return "Button3";
    case MainControl::kProgramMode: return "ProgramMode";
    case MainControl::kSearchLabel: return "Label5";
    case MainControl::kSearchEdit: return "Search";
    case MainControl::kReplaceLabel: return "Label6";
    case MainControl::kReplaceEdit: return "Replace";
    case MainControl::kSearchDesktop: return "SearchDesktop";
    case MainControl::kSearchStartMenu: return "SearchStartMenu";
    case MainControl::kSearchIniFiles: return "SearchINIFiles";
    case MainControl::kSearchRegistry: return "SearchRegistry";
    case MainControl::kList: return "ListBox1";
  }
  return "?";
}

FakeMainWindow::FakeMainWindow(CallLog& log, RecordingView& view) : log_(log), view_(view) {
  for (SearchArea area : {SearchArea::kDesktop, SearchArea::kStartMenu, SearchArea::kIniFiles,
                          SearchArea::kRegistry})
    ticked[area] = true;
  for (MainControl control :
       {MainControl::kSearchButton, MainControl::kExitButton, MainControl::kProgramMode,
        MainControl::kSearchDesktop, MainControl::kSearchStartMenu, MainControl::kSearchIniFiles,
        MainControl::kSearchRegistry, MainControl::kList})
    enabled[control] = true;
  for (MainControl control : {MainControl::kSaveButton, MainControl::kSearchLabel,
                              MainControl::kSearchEdit, MainControl::kReplaceLabel,
                              MainControl::kReplaceEdit})
    enabled[control] = false;
  view_.listEnabled = true;
}

void FakeMainWindow::SetEnabled(MainControl control, bool value) {
  enabled[control] = value;
  if (control == MainControl::kList) view_.listEnabled = value;
  log_.push_back((value ? "enable " : "disable ") + ControlName(control));
}

void FakeMainWindow::SetTimerEnabled(MainTimer timer, bool value) {
  timers[timer] = value;
  log_.push_back(std::string(timer == MainTimer::kUnattendedRun ? "Timer1" : "Timer2") +
                 (value ? " on" : " off"));
}

void FakeMainWindow::Show() {
  visible = true;
  log_.push_back("main shown");
}

void FakeMainWindow::BringToFront() { log_.push_back("main to front"); }

void FakeMainWindow::Hide() {
  visible = false;
  log_.push_back("main hidden");
}

void FakeSplashWindow::PaintNow() { log_.push_back("splash painted"); }

void FakeSplashWindow::Hide() {
  visible = false;
  log_.push_back("splash hidden");
}

void FakeSplashWindow::WidenForMessagePanel() {
  ++widenings;
  log_.push_back("splash widened");
}

void FakeSplashWindow::ShowMessagePanel(const std::vector<std::string>& lines) {
  panelLines = lines;
  panelVisible = true;
  log_.push_back("message panel shown");
}

void FakeSplashWindow::ShowAboutBox(const std::string& caption, const std::string& text) {
  aboutBoxes.push_back({caption, text});
}

void FakeProgramControl::RequestEnd() {
  ++endRequests;
  log_.push_back("end requested");
}

void FakeProgramControl::EndNow(int exitCode) {
  exitCodes.push_back(exitCode);
  log_.push_back("end now " + std::to_string(exitCode));
}

namespace {

std::string LineName(StatusLine line) {
  switch (line) {
    case StatusLine::kMain1: return "Label1";
    case StatusLine::kMain2: return "Label2";
    case StatusLine::kMain3: return "Label3";
    case StatusLine::kMain4: return "Label4";
    case StatusLine::kSplash3: return "Splash.Label3";
    case StatusLine::kSplash4: return "Splash.Label4";
  }
  return "?";
}

std::string CursorName(Cursor cursor) {
  switch (cursor) {
    case Cursor::kDefault: return "default";
    case Cursor::kHourglass: return "hourglass";
    case Cursor::kAppStarting: return "app starting";
    case Cursor::kArrow: return "arrow";
  }
  return "?";
}

}  // namespace

void LoggingView::SetStatus(StatusLine line, const std::string& text) {
  RecordingView::SetStatus(line, text);
  log_.push_back(LineName(line) + " = " + text);
}

void LoggingView::ProcessMessages() {
  RecordingView::ProcessMessages();
  log_.push_back("messages");
}

void LoggingView::SetCursor(Cursor c) {
  RecordingView::SetCursor(c);
  log_.push_back("cursor " + CursorName(c));
}

void LoggingView::ShowMessage(const std::string& text) {
  RecordingView::ShowMessage(text);
  log_.push_back("message: " + text);
}

void LoggingView::ShowError(const std::string& text) {
  RecordingView::ShowError(text);
  log_.push_back("error: " + text);
}

bool LoggingView::ConfirmWarning(const std::string& text) {
  log_.push_back("warning: " + text);
  return RecordingView::ConfirmWarning(text);
}

namespace {

class LoggingScanners : public Scanners {
 public:
  LoggingScanners(ScanContext& context, CallLog& log,
                  const std::function<void(ScanContext&, const std::string&)>& onCall)
      : context_(context), log_(log), onCall_(onCall) {}

  void ShortcutScan(const std::string& areaText, const std::string& folder) override {
    Call("ShortcutScan(" + areaText + ", " + folder + ")");
  }
  void ScanIniFiles(const std::string& windowsDirectory) override {
    Call("ScanIniFiles(" + windowsDirectory + ")");
  }
  void ScanClientKeys() override { Call("ScanClientKeys"); }
  void SearchRegistryTree(RegKey rootKey, const std::string& keyPath) override {
    Call("SearchRegistryTree(" + RootKeyName(static_cast<std::uint32_t>(rootKey)) + ", " +
         keyPath + ")");
  }

 private:
  void Call(const std::string& text) {
    log_.push_back(text);
    if (onCall_) onCall_(context_, text);
  }
  ScanContext& context_;
  CallLog& log_;
  const std::function<void(ScanContext&, const std::string&)>& onCall_;
};

}  // namespace

std::unique_ptr<Scanners> FakeScanners::Create(ScanContext& context) {
  seen = Seen{context.mode,         context.search,           context.replace,
              context.treeUserName, context.names.TreeName(), context.shellLink != nullptr};
  return std::make_unique<LoggingScanners>(context, log_, onCall);
}

void FakeSaver::SaveChanges(AppState& state) {
  log_.push_back("save");
  if (!failure.empty()) throw std::runtime_error(failure);
  if (writesChanges && !state.Changes().empty()) state.flags.changesMade = true;
}

std::optional<std::vector<std::string>> FakeTextFiles::ReadLines(const std::string& path) {
  const auto found = contents.find(path);
  if (found == contents.end()) return std::nullopt;
  return found->second;
}

}  // namespace zeb::testing
