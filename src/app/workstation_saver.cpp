#include "app/workstation_saver.h"

#include <stdexcept>

#include "changes/save.h"

namespace zeb {

void WorkstationSaver::SaveChanges(AppState& state) {
  const UnloadAtScopeEnd unloadHives(state.hives);
  if (state.flags.allUsers && hives_ && lines_.LineCount() > 0)
    state.hives.Load(*hives_, workstation_.registry, state.scannedProfiles, report_);
  SaveInputs inputs{workstation_, state.Changes(), lines_, view_, boxes_, state.flags,
                    [this] { main_.SetEnabled(MainControl::kSaveButton, false); }, report_};
  const SaveResult result = zeb::SaveChanges(inputs);

  const std::size_t messages = report_ ? report_->Messages().size() : 0;
  state.hives.UnloadAll();
  // Save has written the report already; a hive that stays loaded belongs in it too.
  if (report_ && report_->Messages().size() > messages)
    report_->Write(state.Changes(), lines_, result.outcomes);
  if (result.ending == SaveEnding::kFailed) throw std::runtime_error(result.error);
}

}  // namespace zeb
