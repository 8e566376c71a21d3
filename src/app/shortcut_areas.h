#pragma once
// The shortcut folders a scan run walks, each with the area text its status lines show.
#include <string>
#include <vector>

#include "app/app_window.h"
#include "platform/registry_api.h"
#include "platform/system_api.h"
#include "platform/user_profiles.h"

namespace zeb {

struct ShortcutArea {
  SearchArea box;      // kDesktop or kStartMenu: the check box that asks for it
  std::string text;    // "DESKTOP", "START MENU OF alice", "COMMON DESKTOP", ...
  std::string folder;
};

// The current user's Desktop and Start Menu as the run read them (an empty path stays, as the
// scan has always taken it).
std::vector<ShortcutArea> CurrentUserAreas(const std::string& desktop, const std::string& startMenu);

// "/ALLUSERS": after the current user's areas, the Desktop and Start Menu of each profile
// whose hive is under HKEY_USERS ("DESKTOP OF alice", "START MENU OF alice"), then the ones
// of every user ("COMMON DESKTOP", "COMMON START MENU"). A folder already in the list, or
// named nowhere, is left out, so each is walked once.
std::vector<ShortcutArea> AllUserAreas(std::vector<ShortcutArea> areas, RegistryApi& registry,
                                       SystemApi& system,
                                       const std::vector<UserProfile>& profiles);

}  // namespace zeb
