#pragma once
// Save as the Save button and the unattended run start it.
#include "app/app_services.h"
#include "app/app_state.h"

namespace zeb {

// Writes the ticked changes, except in a run that only reports ("/REPORTONLY"), where
// nothing is written at all: no change, no "Last Run", and so no restart either.
void RunSave(AppServices& services, AppState& state);

}  // namespace zeb
