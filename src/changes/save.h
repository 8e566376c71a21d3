#pragma once
// Save: writes the ticked changes to the workstation, key renames last.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "changes/change_list.h"
#include "changes/journal_format.h"
#include "changes/line_outcome.h"
#include "changes/report.h"
#include "platform/append_file_api.h"
#include "platform/run_flags.h"
#include "platform/view.h"
#include "platform/workstation.h"

namespace zeb {

struct SaveInputs {
  Workstation& workstation;
  ChangeList& changes;
  CheckList& lines;
  ProgressView& view;
  MessageBoxes& boxes;
  RunFlags& flags;
  // Disables the Save button for the rest of the run, once the confirmation is through.
  std::function<void()> disableSaveButton;
  // "/REPORT=": rewritten at the end of every Save that ran, also one ended by an error.
  ChangeReport* report = nullptr;
  // "/JOURNAL=": the undo journal's path (empty without one) and where it is written.
  std::string journalPath;
  AppendFiles* journalFiles = nullptr;
  // "/ALLUSERS": the hives loaded for this Save, which the journal names.
  std::vector<ProfileHive> loadedHives{};
  // "/ROLLBACK=": one restoration for each line, in the lines' order. With these Save puts
  // the ticked items back instead of writing changes.
  const std::vector<JournalItem>* restorations = nullptr;
  // A rollback: the hives its journal names that could not be loaded, each with why; an
  // item in one of them is not restored, and its line says why.
  std::vector<std::pair<ProfileHive, std::string>> hivesNotLoaded{};
};

enum class SaveEnding { kNothingToSave, kCancelled, kCompleted, kFailed };

struct SaveResult {
  SaveEnding ending = SaveEnding::kNothingToSave;
  // With kFailed: the error that ended the run, for the application's error box. The
  // spooler has been started again and the cursor reset before Save returns it.
  std::string error;
  // One per line once Save has run; empty when it did nothing or was cancelled.
  std::vector<LineOutcome> outcomes;
  // The error that ended Save was the journal's: nothing more was written.
  bool journalFailed = false;
};

// The Save button. Asks "Clicking OK ..." when PromptUser is on; writes nothing for an empty
// list. The caller shows `error` with MessageBoxes::ShowError when the ending is kFailed.
SaveResult SaveChanges(SaveInputs& inputs);

}  // namespace zeb
