#include "directory/directory_config.h"

#include <string_view>

#include "platform/registry.h"
#include "platform/text.h"

namespace zeb {

namespace {

constexpr std::string_view kDirectorySwitch = "/DIRECTORY=";
constexpr std::string_view kTreeSwitch = "/TREE=";
constexpr std::string_view kUserSwitch = "/USER=";
constexpr std::string_view kTimeoutSwitch = "/DIRTIMEOUT=";
constexpr std::string_view kBindDnSwitch = "/BINDDN=";
constexpr int kMaxTimeoutSeconds = 3600;
constexpr const char* kLoginScreenKey = "\\SOFTWARE\\Varnok\\DXGINA\\Login Screen";

// The value of the last argument that starts with `name`, or empty.
std::string SwitchValue(const std::vector<std::string>& arguments, std::string_view name) {
  std::string value;
  for (const std::string& argument : arguments)
    if (StartsWithIgnoreCase(argument, name)) value = argument.substr(name.size());
  return value;
}

// A whole number of seconds in range, or `fallback`.
int TimeoutSeconds(const std::string& text, int fallback) {
  if (text.empty() || text.size() > 4 ||
      text.find_first_not_of("0123456789") != std::string::npos)
    return fallback;
  const int seconds = std::stoi(text);
  return seconds >= 1 && seconds <= kMaxTimeoutSeconds ? seconds : fallback;
}

struct LoginDefaults {
  std::string tree;
  std::string user;
};

// A value that is missing or not text counts as absent: these are only defaults.
std::string ReadText(Registry& registry, const std::string& name) {
  try {
    return registry.ReadString(name);
  } catch (const RegistryError&) {
    return {};
  }
}

LoginDefaults ReadLoginDefaults(RegistryApi& api) {
  Registry registry(api, hkey::kLocalMachine);
  LoginDefaults defaults;
  if (!registry.OpenKey(kLoginScreenKey, false)) return defaults;
  defaults.tree = ReadText(registry, "DefaultVRXTree");
  const std::string user = ReadText(registry, "DefaultDalvexaUserName");
  const std::string contextText = ReadText(registry, "DefaultVRXContext");
  registry.CloseKey();
  if (user.empty()) return defaults;
  // The context names a container from the root, with or without its leading dot.
  const std::size_t start = contextText.find_first_not_of('.');
  const std::string context = start == std::string::npos ? "" : contextText.substr(start);
  defaults.user = context.empty() ? user : user + "." + context;
  return defaults;
}

std::string FileInFolder(const std::string& folder, const std::string& file) {
  if (folder.empty()) return file;
  const char last = folder.back();
  if (last == '\\' || last == '/') return folder + file;
  // A folder written with forward slashes only is a native path; keep its style.
  const bool native =
      folder.find('/') != std::string::npos && folder.find('\\') == std::string::npos;
  return folder + (native ? "/" : "\\") + file;
}

}  // namespace

// The last ".ldif/" splits, so a folder named "x.ldif" does not count; a base holds at
// least one "=".
LdifLocation SplitLdifLocation(const std::string& directoryPath) {
  constexpr std::string_view kSuffix = ".LDIF/";
  const std::size_t at = UpperAscii(directoryPath).rfind(kSuffix);
  if (at == std::string::npos) return {directoryPath, {}};
  std::string base = directoryPath.substr(at + kSuffix.size());
  if (base.find('=') == std::string::npos) return {directoryPath, {}};
  return {directoryPath.substr(0, at + kSuffix.size() - 1), std::move(base)};
}

DirectoryConfig ReadDirectoryConfig(const std::vector<std::string>& arguments,
                                    Registry& registry, const std::string& programFolder) {
  DirectoryConfig config;
  config.directoryPath = SwitchValue(arguments, kDirectorySwitch);
  config.treeName = SwitchValue(arguments, kTreeSwitch);
  config.userName = SwitchValue(arguments, kUserSwitch);

  if (config.treeName.empty() || config.userName.empty()) {
    const LoginDefaults defaults = ReadLoginDefaults(registry.api());
    if (config.treeName.empty()) config.treeName = defaults.tree;
    if (config.userName.empty()) config.userName = defaults.user;
  }
  if (config.directoryPath.empty())
    config.directoryPath = FileInFolder(programFolder, kDefaultDirectoryFile);
  return config;
}

ServerSwitches ReadServerSwitches(const std::vector<std::string>& arguments) {
  ServerSwitches switches;
  switches.timeoutSeconds =
      TimeoutSeconds(SwitchValue(arguments, kTimeoutSwitch), switches.timeoutSeconds);
  switches.bindDn = SwitchValue(arguments, kBindDnSwitch);
  return switches;
}

}  // namespace zeb
