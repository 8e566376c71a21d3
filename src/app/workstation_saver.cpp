#include "app/workstation_saver.h"

#include <stdexcept>

#include "changes/save.h"

namespace zeb {

void WorkstationSaver::SaveChanges(AppState& state) {
  SaveInputs inputs{workstation_, state.Changes(), lines_, view_, boxes_, state.flags,
                    [this] { main_.SetEnabled(MainControl::kSaveButton, false); }, report_,
                    // A rollback is not journaled: its journal is the one it reads.
                    state.rollbackRun ? std::string() : journalPath_, journalFiles_,
                    state.rollbackRun ? &state.restorations : nullptr};
  const SaveResult result = zeb::SaveChanges(inputs);
  if (result.journalFailed) state.exitCode.Raise(ExitCode::kJournalFailed);
  if (result.ending == SaveEnding::kFailed) throw std::runtime_error(result.error);
}

}  // namespace zeb
