#pragma once
// Privileges of the process's own token, which some calls need enabled first.

namespace zeb {

// AdjustTokenPrivileges for the one privilege (SE_SHUTDOWN_NAME, SE_BACKUP_NAME, ...): 0 when
// it is enabled, ERROR_NOT_ALL_ASSIGNED when the account does not hold it, else the error.
long EnablePrivilege(const char* name);

}  // namespace zeb
