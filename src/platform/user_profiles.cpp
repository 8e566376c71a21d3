#include "platform/user_profiles.h"

#include "platform/environment_text.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace zeb {

const char kProfileListKey[] = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

namespace {

const char kExplorerKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";

// A text value of the open key; empty for a missing one, one of another type or one that
// cannot be read. Bad data in another user's hive must not end the run.
std::string ReadText(Registry& registry, const std::string& name) {
  const ValueKind kind = registry.GetDataType(name);
  if (kind != ValueKind::kString && kind != ValueKind::kExpandString) return {};
  try {
    return registry.ReadString(name);
  } catch (const RegistryError&) {
    return {};
  }
}

std::string ReadFolder(RegistryApi& api, RegKey root, const std::string& explorerKey,
                       const std::string& valueName, const VariableLookup& variable) {
  Registry registry(api, root);
  std::string folder;
  if (registry.OpenKey(explorerKey + "\\Shell Folders", false))
    folder = ReadText(registry, valueName);
  if (folder.empty() && registry.OpenKey(explorerKey + "\\User Shell Folders", false))
    folder = ExpandVariables(ReadText(registry, valueName), variable);
  return folder;
}

VariableLookup Environment(SystemApi& system) {
  return [&system](const std::string& name) { return system.EnvironmentVariable(name); };
}

}  // namespace

std::string UserProfile::UserName() const {
  std::string path = folder;
  while (!path.empty() && path.back() == '\\') path.pop_back();
  const std::size_t slash = path.find_last_of('\\');
  const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
  return last.empty() ? sid : last;
}

std::vector<UserProfile> ListUserProfiles(RegistryApi& api, SystemApi& system) {
  Registry registry(api, hkey::kLocalMachine);
  std::vector<UserProfile> profiles;
  if (!registry.OpenKey(kProfileListKey, false)) return profiles;
  for (const std::string& sid : registry.GetKeyNames()) {
    UserProfile profile{sid, {}};
    if (registry.OpenKey(std::string(kProfileListKey) + "\\" + sid, false))
      profile.folder = ExpandVariables(ReadText(registry, "ProfileImagePath"), Environment(system));
    profiles.push_back(std::move(profile));
  }
  return profiles;
}

bool IsHiveLoaded(RegistryApi& api, const std::string& sid) {
  RegKey key = 0;
  if (api.OpenKey(hkey::kUsers, sid, KeyAccess::kEnumerateSubKeys, &key) != winerr::kSuccess)
    return false;
  const KeyHandle owned(api, key);
  return true;
}

std::string ProfileShellFolder(RegistryApi& api, SystemApi& system, const UserProfile& profile,
                               const std::string& valueName) {
  const VariableLookup variable = [&](const std::string& name) -> std::optional<std::string> {
    if (EqualsIgnoreCase(name, "USERPROFILE")) return profile.folder;
    return system.EnvironmentVariable(name);
  };
  return ReadFolder(api, hkey::kUsers, "\\" + profile.sid + kExplorerKey, valueName, variable);
}

std::string CommonShellFolder(RegistryApi& api, SystemApi& system, const std::string& valueName) {
  return ReadFolder(api, hkey::kLocalMachine, kExplorerKey, valueName, Environment(system));
}

}  // namespace zeb
