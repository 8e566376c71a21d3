#pragma once
// "/ALLUSERS": the hives of the profiles whose users are not logged on, loaded under
// HKEY_USERS\<SID> around the scan and again around Save, so that the Registry search and
// Save reach them as they reach the logged-on users' hives; never left loaded after either.
#include <string>
#include <vector>

#include "changes/report.h"
#include "platform/hive.h"
#include "platform/user_profiles.h"

namespace zeb {

// The report lines of a profile left out and of a hive that stays loaded.
std::string ProfileLeftOutText(const UserProfile& profile, long error);
std::string HiveStaysLoadedText(const UserProfile& profile, long error);

class ProfileHives {
 public:
  ProfileHives() = default;
  ProfileHives(const ProfileHives&) = delete;
  ProfileHives& operator=(const ProfileHives&) = delete;
  ~ProfileHives() { UnloadAll(); }

  // Loads the hive of each profile that is not loaded, after enabling the privileges that
  // takes. A profile whose hive cannot be loaded is left out with a line in `report` (when
  // there is one) saying why; the others are still loaded.
  void Load(HiveApi& hives, RegistryApi& registry, const std::vector<UserProfile>& profiles,
            ChangeReport* report);
  // Unloads every hive loaded here, the last loaded first. One that cannot be unloaded gets a
  // report line; this object holds it no longer either way.
  void UnloadAll();

  bool empty() const { return held_.empty(); }
  // The profiles whose hives are loaded here, in the order they were loaded.
  std::vector<UserProfile> Profiles() const;

 private:
  struct Held {
    UserProfile profile;
    LoadedHive hive;
  };
  std::vector<Held> held_;
  ChangeReport* report_ = nullptr;
};

// Unloads at the end of a scope (the scan run, Save) what was loaded in it, on every way out.
class UnloadAtScopeEnd {
 public:
  explicit UnloadAtScopeEnd(ProfileHives& hives) : hives_(hives) {}
  UnloadAtScopeEnd(const UnloadAtScopeEnd&) = delete;
  UnloadAtScopeEnd& operator=(const UnloadAtScopeEnd&) = delete;
  ~UnloadAtScopeEnd() { hives_.UnloadAll(); }

 private:
  ProfileHives& hives_;
};

}  // namespace zeb
