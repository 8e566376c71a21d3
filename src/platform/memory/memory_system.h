#pragma once
// A workstation's system facts as plain fields, with a record of what was asked of it.
#include <map>
#include <string>
#include <vector>

#include "platform/system_api.h"

namespace zeb {

class MemorySystem : public SystemApi {
 public:
  int PlatformId() override { return platformId; }
  std::string WindowsDirectory() override { return windowsDirectory; }
  std::optional<std::string> EnvironmentVariable(const std::string& name) override;
  void WinExec(const std::string& command, int showState) override;
  void Sleep(unsigned milliseconds) override { sleptMs += milliseconds; }
  void RequestRestart() override { ++restartRequests; }
  std::string CommandLine() override { return commandLine; }
  Date Today() override { return today; }
  std::string ShortDateFormat() override { return shortDateFormat; }
  std::string ComputerName() override { return computerName; }
  std::string LocalTimestamp() override { return localTimestamp; }
  // A fixed sequence, different for each computer name, so that tests repeat exactly.
  bool RandomBytes(std::size_t count, std::string* bytes) override;

  int platformId = 2;
  std::string windowsDirectory = "C:\\WINDOWS";
  std::map<std::string, std::string> environment;  // names compared ignoring case
  std::vector<std::string> commands;               // WinExec calls, in order
  unsigned long sleptMs = 0;
  int restartRequests = 0;
  std::string commandLine = "zeb.exe";
  Date today{2026, 12, 8};
  std::string shortDateFormat = "M/d/yyyy";
  std::string computerName = "WKS-0042";
  std::string localTimestamp = "2026-12-08 07:58:12";
  bool randomFails = false;
  unsigned randomCalls = 0;
};

}  // namespace zeb
