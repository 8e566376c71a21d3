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
std::string HiveLeftOutText(const ProfileHive& hive, long error);
std::string HiveStaysLoadedText(const ProfileHive& hive, long error);
// Why an item in a hive that cannot be loaded is not restored: "the hive <file> of profile
// <sid> cannot be loaded (<reason>)".
std::string HiveNotLoadedText(const ProfileHive& hive, long error);

struct HiveLeftOut {
  ProfileHive hive;
  long error = 0;
};

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
  // The same for hives named by SID and file (loaded again for Save, or named by a journal
  // that is rolled back). Returns the ones that could not be loaded; a hive already there
  // (its user is logged on) is used as it is and is not unloaded.
  std::vector<HiveLeftOut> LoadHives(HiveApi& hives, RegistryApi& registry,
                                     const std::vector<ProfileHive>& wanted, ChangeReport* report);
  // Unloads every hive loaded here, the last loaded first. One that cannot be unloaded gets a
  // report line; this object holds it no longer either way.
  void UnloadAll();

  bool empty() const { return held_.empty(); }
  // The hives loaded here, in the order they were loaded.
  std::vector<ProfileHive> Hives() const;

 private:
  // Loads one hive that is not loaded yet; false (and *error) when it cannot be.
  bool LoadOne(HiveApi& hives, const ProfileHive& wanted, long* error);

  struct Held {
    ProfileHive profile;
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
