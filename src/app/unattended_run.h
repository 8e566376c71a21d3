#pragma once
// The unattended run ("/AUTO", "/STEALTH"): search, save and exit without the user.
#include "app/app_services.h"
#include "app/app_state.h"

namespace zeb {

// The handler of the one-shot timer the start-up arms for an automatic run.
void RunUnattended(AppServices& services, AppState& state);

}  // namespace zeb
