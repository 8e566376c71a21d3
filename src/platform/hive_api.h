#pragma once
// Registry hives as files: the advapi32 calls that save a key to a hive file and load or
// unload such a file as a key of HKEY_USERS or HKEY_LOCAL_MACHINE, with Win32 result codes.
// Backends: win32/ (the real functions) and memory/ (tests).
#include <string>

#include "platform/registry_api.h"

namespace zeb {

namespace winerr {
constexpr long kPathNotFound = 3;
constexpr long kSharingViolation = 32;
constexpr long kAlreadyExists = 183;
constexpr long kNotRegistryFile = 1017;
constexpr long kNotAllAssigned = 1300;
constexpr long kPrivilegeNotHeld = 1314;
}  // namespace winerr

class HiveApi {
 public:
  virtual ~HiveApi() = default;
  // AdjustTokenPrivileges: enables SeBackupPrivilege and SeRestorePrivilege in the process's
  // token, which saving, loading and unloading need. kNotAllAssigned when the account does
  // not hold one of them.
  [[nodiscard]] virtual long EnablePrivileges() = 0;
  // RegSaveKeyA: the key and its subtree into a new hive file (an existing file is refused).
  [[nodiscard]] virtual long SaveKey(RegKey key, const std::string& file) = 0;
  // RegLoadKeyA: the hive file as the new key `name` directly below `root`. kAlreadyExists
  // when that key exists; kFileNotFound, kPathNotFound, kSharingViolation (the file is in
  // use) or kNotRegistryFile for the file.
  [[nodiscard]] virtual long LoadKey(RegKey root, const std::string& name,
                                     const std::string& file) = 0;
  // RegUnLoadKeyA: only for a key that LoadKey made. kAccessDenied while a handle to the key
  // is open; kFileNotFound when no such key is loaded.
  [[nodiscard]] virtual long UnLoadKey(RegKey root, const std::string& name) = 0;
};

}  // namespace zeb
