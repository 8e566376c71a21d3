#include "platform/win32/privileges.h"

#include <windows.h>

namespace zeb {
namespace {

// Owns a process token handle.
class TokenHandle {
 public:
  TokenHandle() = default;
  TokenHandle(const TokenHandle&) = delete;
  TokenHandle& operator=(const TokenHandle&) = delete;
  ~TokenHandle() {
    if (handle_) CloseHandle(handle_);
  }
  HANDLE* out() { return &handle_; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace

long EnablePrivilege(const char* name) {
  TokenHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.out()))
    return static_cast<long>(GetLastError());
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid))
    return static_cast<long>(GetLastError());
  // Succeeds also when the privilege was not assigned; only the last error tells.
  if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr))
    return static_cast<long>(GetLastError());
  return static_cast<long>(GetLastError());
}

}  // namespace zeb
