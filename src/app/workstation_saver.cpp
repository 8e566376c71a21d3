#include "app/workstation_saver.h"

#include <algorithm>
#include <stdexcept>

#include "changes/save.h"

namespace zeb {

ExitCode ExitCodeOfSave(const SaveResult& result) {
  // Each failure of Save raises its code here; the journal's is the largest.
  if (result.journalFailed) return ExitCode::kJournalFailed;
  const bool lineFailed =
      std::any_of(result.outcomes.begin(), result.outcomes.end(),
                  [](const LineOutcome& outcome) { return outcome.status == LineStatus::kFailed; });
  if (result.ending == SaveEnding::kFailed || lineFailed) return ExitCode::kSaveFailed;
  return ExitCode::kCompleted;
}

void WorkstationSaver::SaveChanges(AppState& state) {
  const UnloadAtScopeEnd unloadHives(state.hives);
  std::vector<HiveLeftOut> leftOut;
  if (hives_ && lines_.LineCount() > 0) {
    // A rollback loads what its journal names, with or without "/ALLUSERS".
    if (state.rollbackRun)
      leftOut = state.hives.LoadHives(*hives_, workstation_.registry, state.rollbackHives, report_);
    else if (state.flags.allUsers)
      (void)state.hives.LoadHives(*hives_, workstation_.registry, state.scannedHives, report_);
  }
  SaveInputs inputs{workstation_, state.Changes(), lines_, view_, boxes_, state.flags,
                    [this] { main_.SetEnabled(MainControl::kSaveButton, false); }, report_,
                    // A rollback is not journaled: its journal is the one it reads.
                    state.rollbackRun ? std::string() : journalPath_, journalFiles_,
                    state.hives.Hives(), state.rollbackRun ? &state.restorations : nullptr};
  for (const HiveLeftOut& hive : leftOut)
    inputs.hivesNotLoaded.emplace_back(hive.hive, HiveNotLoadedText(hive.hive, hive.error));
  const SaveResult result = zeb::SaveChanges(inputs);
  state.exitCode.Raise(ExitCodeOfSave(result));
  if (result.ending == SaveEnding::kFailed) throw std::runtime_error(result.error);
}

}  // namespace zeb
