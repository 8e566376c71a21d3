#pragma once
// Save as the Save button runs it: the change list's writer over this workstation.
#include "app/app_services.h"
#include "app/app_state.h"
#include "changes/report.h"
#include "changes/save.h"
#include "platform/append_file_api.h"

namespace zeb {

// The exit code a Save's result raises: kSaveFailed when it was ended by an error or a
// ticked line was not written, else kCompleted.
ExitCode ExitCodeOfSave(const SaveResult& result);

class WorkstationSaver : public ChangeSaver {
 public:
  // `report` is the "/REPORT=" file, or null without one; `hives` loads the profiles' hives
  // under "/ALLUSERS", null where the platform has none.
  WorkstationSaver(Workstation& workstation, MainWindow& main, CheckList& lines,
                   ProgressView& view, MessageBoxes& boxes, ChangeReport* report = nullptr,
                   HiveApi* hives = nullptr)
      : workstation_(workstation), main_(main), lines_(lines), view_(view), boxes_(boxes),
        report_(report), hives_(hives) {}

  // "/JOURNAL=": Save journals its writes to `path` through `files`.
  void JournalTo(std::string path, AppendFiles& files) {
    journalPath_ = std::move(path);
    journalFiles_ = &files;
  }

  // An error that ended the Save is raised again for the application's error handler.
  // Under "/ALLUSERS" the hives the scan loaded are loaded again for the writes and unloaded
  // when Save ends, however it ends.
  void SaveChanges(AppState& state) override;

 private:
  Workstation& workstation_;
  MainWindow& main_;
  CheckList& lines_;
  ProgressView& view_;
  MessageBoxes& boxes_;
  ChangeReport* report_;
  std::string journalPath_;
  AppendFiles* journalFiles_ = nullptr;
  HiveApi* hives_;
};

}  // namespace zeb
