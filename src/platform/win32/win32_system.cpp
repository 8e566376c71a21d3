#include "platform/win32/win32_system.h"

#include <windows.h>
// RtlGenRandom (SystemFunction036): the generator CryptGenRandom uses, without a provider.
#define SystemFunction036 NTAPI SystemFunction036
#include <ntsecapi.h>
#undef SystemFunction036

#include <cstdio>
#include <vector>

#include "platform/win32/privileges.h"

namespace zeb {

int Win32System::PlatformId() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExA(&info)) return VER_PLATFORM_WIN32_NT;
  return static_cast<int>(info.dwPlatformId);
}

std::string Win32System::WindowsDirectory() {
  char buffer[256] = {};
  const UINT n = GetWindowsDirectoryA(buffer, sizeof(buffer));
  return n > 0 && n < sizeof(buffer) ? std::string(buffer, n) : std::string();
}

std::optional<std::string> Win32System::EnvironmentVariable(const std::string& name) {
  std::vector<char> buffer(256);
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const DWORD n = GetEnvironmentVariableA(name.c_str(), buffer.data(),
                                            static_cast<DWORD>(buffer.size()));
    if (n == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();
    }
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(n + 1);  // n is the size needed, terminating zero included
  }
}

void Win32System::WinExec(const std::string& command, int showState) {
  ::WinExec(command.c_str(), static_cast<UINT>(showState));
}

void Win32System::Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

void Win32System::RequestRestart() {
  // Windows NT refuses the restart without the privilege; the request's result is not
  // examined, so neither is this one.
  if (PlatformId() == VER_PLATFORM_WIN32_NT) (void)EnablePrivilege(SE_SHUTDOWN_NAME);
  ExitWindowsEx(EWX_REBOOT, 0);
}

std::string Win32System::CommandLine() { return GetCommandLineA(); }

Date Win32System::Today() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return Date{now.wYear, now.wMonth, now.wDay};
}

std::string Win32System::ShortDateFormat() {
  char buffer[80] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buffer, sizeof(buffer)) > 0 &&
      buffer[0] != '\0')
    return buffer;
  return "m/d/yy";
}

std::string Win32System::ComputerName() {
  char buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof(buffer);
  return GetComputerNameA(buffer, &size) ? std::string(buffer, size) : std::string();
}

std::string Win32System::LocalTimestamp() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                now.wDay, now.wHour, now.wMinute, now.wSecond);
  return text;
}

bool Win32System::RandomBytes(std::size_t count, std::string* bytes) {
  bytes->assign(count, '\0');
  return RtlGenRandom(bytes->data(), static_cast<ULONG>(count)) != FALSE;
}

}  // namespace zeb
