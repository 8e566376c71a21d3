#pragma once
// Process and system calls: platform, Windows directory, environment, WinExec, Sleep,
// the restart request, the command line, today's date in the short date format, the
// computer's name, the local time and random bytes (what the undo journal needs).
#include <cstddef>
#include <optional>
#include <string>

#include "platform/date.h"

namespace zeb {

namespace platformid {
constexpr int kWindows9x = 1;  // VER_PLATFORM_WIN32_WINDOWS
constexpr int kWindowsNt = 2;  // VER_PLATFORM_WIN32_NT
}  // namespace platformid

class SystemApi {
 public:
  virtual ~SystemApi() = default;
  virtual int PlatformId() = 0;
  virtual std::string WindowsDirectory() = 0;  // GetWindowsDirectoryA into 256 characters
  // The whole value, however long; nullopt when the variable is not defined.
  virtual std::optional<std::string> EnvironmentVariable(const std::string& name) = 0;
  virtual void WinExec(const std::string& command, int showState) = 0;
  virtual void Sleep(unsigned milliseconds) = 0;
  // ExitWindowsEx(EWX_REBOOT), after taking the shutdown privilege where the platform needs it.
  virtual void RequestRestart() = 0;
  virtual std::string CommandLine() = 0;  // GetCommandLineA
  virtual Date Today() = 0;
  // The user's short date picture, such as "M/d/yyyy" ("m/d/yy" when the locale gives none).
  virtual std::string ShortDateFormat() = 0;
  virtual std::string ComputerName() = 0;  // GetComputerNameA
  // GetLocalTime as "YYYY-MM-DD hh:mm:ss".
  virtual std::string LocalTimestamp() = 0;
  // `count` bytes from the system's cryptographic generator (RtlGenRandom); false when it
  // gives none.
  [[nodiscard]] virtual bool RandomBytes(std::size_t count, std::string* bytes) = 0;
};

}  // namespace zeb
