#include "app/save_step.h"

namespace zeb {

void RunSave(AppServices& services, AppState& state) {
  if (services.mode.reportOnly) return;
  services.saver.SaveChanges(state);
}

}  // namespace zeb
