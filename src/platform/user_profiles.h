#pragma once
// The workstation's user profiles as Windows lists them, and each one's own folders.
#include <string>
#include <vector>

#include "platform/registry_api.h"
#include "platform/system_api.h"

namespace zeb {

extern const char kProfileListKey[];  // below HKEY_LOCAL_MACHINE

// A profile's hive as it is loaded: under HKEY_USERS\<sid>, from `file`.
struct ProfileHive {
  std::string sid;
  std::string file;
};

struct UserProfile {
  std::string sid;     // the subkey's name, also the hive's name under HKEY_USERS
  std::string folder;  // ProfileImagePath, expanded; empty when the profile names none
  std::string HiveFile() const { return folder + "\\NTUSER.DAT"; }
  ProfileHive Hive() const { return {sid, HiveFile()}; }
  // The last part of the folder ("alice" of C:\Users\alice), else the SID.
  std::string UserName() const;
};

// Every profile below ProfileList, in enumeration order. ProfileImagePath may be REG_SZ (as
// Wine writes it) or REG_EXPAND_SZ (as Windows does); a value of another type, or one that
// cannot be read, names no folder.
std::vector<UserProfile> ListUserProfiles(RegistryApi& registry, SystemApi& system);

// Whether HKEY_USERS\<sid> is there: the user is logged on, or the hive is loaded.
bool IsHiveLoaded(RegistryApi& registry, const std::string& sid);

// A folder named in the profile's own hive: "Shell Folders" first, then "User Shell Folders"
// with %USERPROFILE% as the profile's folder (other names from the environment). Empty when
// neither names it. Nothing is created in the hive.
std::string ProfileShellFolder(RegistryApi& registry, SystemApi& system,
                               const UserProfile& profile, const std::string& valueName);

// A folder of every user ("Common Desktop", "Common Start Menu"), from HKEY_LOCAL_MACHINE's
// "Shell Folders", then its "User Shell Folders" expanded from the environment.
std::string CommonShellFolder(RegistryApi& registry, SystemApi& system,
                              const std::string& valueName);

}  // namespace zeb
