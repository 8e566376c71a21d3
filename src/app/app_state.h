#pragma once
// The program's state: run flags, the directory tree and context, and the change list.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/exit_code.h"
#include "app/profile_hives.h"
#include "changes/change_list.h"
#include "changes/journal_format.h"
#include "directory/directory_client.h"
#include "platform/run_flags.h"
#include "platform/view.h"

namespace zeb {

class AppState {
 public:
  AppState(CheckList& lines, ProgressView& view) : lines_(lines), view_(view) {
    EmptyChangeList();
  }
  AppState(const AppState&) = delete;
  AppState& operator=(const AppState&) = delete;

  RunFlags flags;  // all off until the start-up gives them their defaults
  std::string treeName;
  DirContextHandle dirContext = 0;
  bool holdsContext = false;          // a created context not yet released
  std::int32_t lastClientResult = 0;  // the latest client call's result
  std::string treeUserName;           // read at the start of the scan run

  bool startUpBegun = false;      // the first splash activation has run the start-up
  bool endRequested = false;      // the program ends when control returns to the loop
  bool messagePanelMade = false;  // the splash window has been widened for it
  RunExitCode exitCode;           // what the program ends with
  // A rollback run: one restoration for each line of the change list, in the same order.
  bool rollbackRun = false;
  std::vector<JournalItem> restorations;

  // "/ALLUSERS": the hives loaded now (only during the scan run and Save), and the hives the
  // scan loaded, which Save loads again. A rollback loads the hives its journal names.
  ProfileHives hives;
  std::vector<ProfileHive> scannedHives;
  std::vector<ProfileHive> rollbackHives;
  bool scanning = false;        // inside the scan run, which lets window messages through
  bool exitAfterScan = false;   // Exit came while the scan held hives with keys open

  ChangeList& Changes() { return *changes_; }
  void EmptyChangeList() { changes_.emplace(lines_, view_, flags); }

 private:
  CheckList& lines_;
  ProgressView& view_;
  std::optional<ChangeList> changes_;
};

}  // namespace zeb
