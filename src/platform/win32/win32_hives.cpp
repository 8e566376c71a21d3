#include "platform/win32/win32_hives.h"

#include <windows.h>

#include "platform/win32/hkey.h"
#include "platform/win32/privileges.h"

namespace zeb {

long Win32Hives::EnablePrivileges() {
  const long backup = EnablePrivilege(SE_BACKUP_NAME);
  const long restore = EnablePrivilege(SE_RESTORE_NAME);
  return backup != ERROR_SUCCESS ? backup : restore;
}

long Win32Hives::SaveKey(RegKey key, const std::string& file) {
  return RegSaveKeyA(ToHkey(key), file.c_str(), nullptr);
}

long Win32Hives::LoadKey(RegKey root, const std::string& name, const std::string& file) {
  return RegLoadKeyA(ToHkey(root), name.c_str(), file.c_str());
}

long Win32Hives::UnLoadKey(RegKey root, const std::string& name) {
  return RegUnLoadKeyA(ToHkey(root), name.c_str());
}

}  // namespace zeb
