#pragma once
// Fakes of the program's windows and of the pieces its logic calls (scanners, Save, the
// message file), all writing to one call log so that tests can check the order of events.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/app_services.h"
#include "app/app_state.h"
#include "support/recording_view.h"

namespace zeb::testing {

using CallLog = std::vector<std::string>;

std::string ControlName(MainControl control);

class FakeMainWindow : public MainWindow {
 public:
  // The list's enabled state is mirrored into the view, whose CheckList reports it.
  FakeMainWindow(CallLog& log, RecordingView& view);

  bool IsTicked(SearchArea area) override { return ticked[area]; }
  void SetTicked(SearchArea area, bool value) override { ticked[area] = value; }
  ProgramMode SelectedMode() override { return mode; }
  void SelectMode(ProgramMode value) override { mode = value; }
  std::string SearchText() override { return search; }
  void SetSearchText(const std::string& text) override { search = text; }
  std::string ReplaceText() override { return replace; }
  void SetReplaceText(const std::string& text) override { replace = text; }
  bool IsEnabled(MainControl control) override { return enabled[control]; }
  void SetEnabled(MainControl control, bool value) override;
  std::string Caption() override { return caption; }
  void SetCaption(const std::string& text) override { caption = text; }
  void SetTimerEnabled(MainTimer timer, bool value) override;
  void Show() override;
  void BringToFront() override;
  void Hide() override;

  // The window as designed.
  std::map<SearchArea, bool> ticked;
  ProgramMode mode = ProgramMode::kDereferenceAliases;
  std::string search;
  std::string replace;
  std::map<MainControl, bool> enabled;
  std::string caption = "VRX Alias Scourby Tackwerk";
  std::map<MainTimer, bool> timers;
  bool visible = false;

 private:
  CallLog& log_;
  RecordingView& view_;
};

class FakeSplashWindow : public SplashWindow {
 public:
  explicit FakeSplashWindow(CallLog& log) : log_(log) {}
  void PaintNow() override;
  void Hide() override;
  bool IsVisible() override { return visible; }
  void WidenForMessagePanel() override;
  void ShowMessagePanel(const std::vector<std::string>& lines) override;
  void ShowAboutBox(const std::string& caption, const std::string& text) override;

  bool visible = true;
  int widenings = 0;
  bool panelVisible = false;
  std::vector<std::string> panelLines;
  std::vector<std::pair<std::string, std::string>> aboutBoxes;  // caption, text

 private:
  CallLog& log_;
};

class FakeProgramControl : public ProgramControl {
 public:
  explicit FakeProgramControl(CallLog& log) : log_(log) {}
  void RequestEnd() override;
  void EndNow(int exitCode) override;

  int endRequests = 0;
  std::vector<int> exitCodes;

 private:
  CallLog& log_;
};

// The recording view, with status lines, message processing, cursor and boxes also logged.
class LoggingView : public RecordingView {
 public:
  explicit LoggingView(CallLog& log) : log_(log) {}
  void SetStatus(StatusLine line, const std::string& text) override;
  void ProcessMessages() override;
  void SetCursor(Cursor c) override;
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  bool ConfirmWarning(const std::string& text) override;

 private:
  CallLog& log_;
};

// Scanners that log their calls and can be told to find something or to fail.
class FakeScanners : public ScannerFactory {
 public:
  explicit FakeScanners(CallLog& log) : log_(log) {}
  std::unique_ptr<Scanners> Create(ScanContext& context) override;

  // Run on each scanner call, with the call's log text; may add changes or throw.
  std::function<void(ScanContext&, const std::string&)> onCall;

  // The context of the latest run, as the scanners were given it.
  struct Seen {
    ProgramMode mode;
    std::string search;
    std::string replace;
    std::string treeUserName;
    std::string treeName;
    bool hasShellLink;
  };
  std::optional<Seen> seen;

 private:
  CallLog& log_;
};

class FakeSaver : public ChangeSaver {
 public:
  explicit FakeSaver(CallLog& log) : log_(log) {}
  void SaveChanges(AppState& state) override;

  bool writesChanges = true;  // sets ChangesMade when the list has lines, as Save does
  std::string failure;        // when set, Save raises it

 private:
  CallLog& log_;
};

class FakeTextFiles : public TextFiles {
 public:
  bool Exists(const std::string& path) override { return existing.count(path) > 0; }
  std::optional<std::vector<std::string>> ReadLines(const std::string& path) override;

  std::set<std::string> existing;
  std::map<std::string, std::vector<std::string>> contents;  // missing: cannot be opened
};

}  // namespace zeb::testing
