#pragma once
// The scan run: the one pass over the workstation that fills the change list.
#include <string>
#include <vector>

#include "app/app_services.h"
#include "app/app_state.h"
#include "platform/registry_api.h"

namespace zeb {

extern const char kNoSearchString[];
extern const char kShellLinkUnavailable[];
extern const char kTreeNotFound[];
extern const char kReportOnlyResult[];

void RunScan(AppServices& services, AppState& state);

// The direct subkeys of HKEY_LOCAL_MACHINE\SYSTEM in enumeration order, up to the first
// error; empty when the key cannot be opened for enumeration.
std::vector<std::string> SystemSubKeyNames(RegistryApi& registry);

}  // namespace zeb
