#include "app/workstation_saver.h"

#include <algorithm>
#include <stdexcept>

#include "changes/save.h"

namespace zeb {

ExitCode ExitCodeOfSave(const SaveResult& result) {
  // Each failure of Save raises its code here; a journal that could not be written would be
  // one more ending (ExitCode::kJournalFailed).
  const bool lineFailed =
      std::any_of(result.outcomes.begin(), result.outcomes.end(),
                  [](const LineOutcome& outcome) { return outcome.status == LineStatus::kFailed; });
  if (result.ending == SaveEnding::kFailed || lineFailed) return ExitCode::kSaveFailed;
  return ExitCode::kCompleted;
}

void WorkstationSaver::SaveChanges(AppState& state) {
  const UnloadAtScopeEnd unloadHives(state.hives);
  if (state.flags.allUsers && hives_ && lines_.LineCount() > 0)
    state.hives.Load(*hives_, workstation_.registry, state.scannedProfiles, report_);
  SaveInputs inputs{workstation_, state.Changes(), lines_, view_, boxes_, state.flags,
                    [this] { main_.SetEnabled(MainControl::kSaveButton, false); }, report_};
  const SaveResult result = zeb::SaveChanges(inputs);
  state.exitCode.Raise(ExitCodeOfSave(result));
  if (result.ending == SaveEnding::kFailed) throw std::runtime_error(result.error);
}

}  // namespace zeb
