#pragma once
// The listing run of "/ROLLBACK=": the journal read and verified, and each restoration it
// holds shown as a check-list line (newest first), for Save to put back the ticked ones.
#include "app/app_services.h"
#include "app/app_state.h"

namespace zeb {

// A journal that cannot be used raises its error (shown in the error box); nothing is listed
// and so nothing can be written.
void ListRestorations(AppServices& services, AppState& state);

}  // namespace zeb
