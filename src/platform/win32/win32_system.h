#pragma once
#include "platform/system_api.h"

namespace zeb {

class Win32System : public SystemApi {
 public:
  int PlatformId() override;
  std::string WindowsDirectory() override;
  std::optional<std::string> EnvironmentVariable(const std::string& name) override;
  void WinExec(const std::string& command, int showState) override;
  void Sleep(unsigned milliseconds) override;
  void RequestRestart() override;
  std::string CommandLine() override;
  Date Today() override;
  std::string ShortDateFormat() override;
  std::string ComputerName() override;
  std::string LocalTimestamp() override;
  bool RandomBytes(std::size_t count, std::string* bytes) override;
};

}  // namespace zeb
