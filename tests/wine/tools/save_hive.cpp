// Makes a profile's hive file the way the platform writes one: saves a key of
// HKEY_CURRENT_USER with RegSaveKey (the backup privilege enabled first), then deletes the
// key, so that what was seeded there lives only in the file.
//
//   save_hive <key below HKEY_CURRENT_USER> <hive file>
//
// Exit code 0 when the file was written and the key removed, 1 otherwise (said on stderr).
#include <iostream>
#include <string>

#include "platform/registry.h"
#include "platform/win32/win32_hives.h"
#include "platform/win32/win32_registry.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: save_hive <key below HKEY_CURRENT_USER> <hive file>\n";
    return 2;
  }
  const std::string key = std::string("\\") + argv[1];
  zeb::Win32Registry api;
  zeb::Win32Hives hives;
  if (const long result = hives.EnablePrivileges(); result != 0) {
    std::cerr << "save_hive: the backup and restore privileges cannot be enabled (" << result
              << ")\n";
    return 1;
  }
  zeb::Registry registry(api, zeb::hkey::kCurrentUser);
  if (!registry.OpenKey(key, false)) {
    std::cerr << "save_hive: no key HKEY_CURRENT_USER" << key << "\n";
    return 1;
  }
  if (const long result = hives.SaveKey(registry.CurrentKey(), argv[2]); result != 0) {
    std::cerr << "save_hive: RegSaveKey into " << argv[2] << " failed (" << result << ")\n";
    return 1;
  }
  registry.CloseKey();
  if (!registry.DeleteKey(key)) {
    std::cerr << "save_hive: cannot delete HKEY_CURRENT_USER" << key << "\n";
    return 1;
  }
  return 0;
}
