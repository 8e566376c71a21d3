#pragma once
// A system over another one that records the commands and pauses instead of carrying them
// out: Save's "NET STOP SPOOLER" must not reach a real machine from a test, nor its pauses
// slow the tests down. The facts (platform, date, date format) come from the system below
// unless a test pins them.
#include <optional>
#include <string>
#include <vector>

#include "platform/system_api.h"

namespace zeb::testing {

class RecordingSystem : public SystemApi {
 public:
  explicit RecordingSystem(SystemApi& below) : below_(below) {}

  int PlatformId() override { return platformId.value_or(below_.PlatformId()); }
  std::string WindowsDirectory() override { return below_.WindowsDirectory(); }
  std::optional<std::string> EnvironmentVariable(const std::string& name) override {
    return below_.EnvironmentVariable(name);
  }
  void WinExec(const std::string& command, int showState) override {
    commands.push_back(command);
    showStates.push_back(showState);
  }
  void Sleep(unsigned milliseconds) override { sleptMs += milliseconds; }
  void RequestRestart() override { ++restartRequests; }
  std::string CommandLine() override { return below_.CommandLine(); }
  Date Today() override { return today.value_or(below_.Today()); }
  std::string ShortDateFormat() override {
    return shortDateFormat.value_or(below_.ShortDateFormat());
  }
  std::string ComputerName() override { return below_.ComputerName(); }
  std::string LocalTimestamp() override { return below_.LocalTimestamp(); }
  bool RandomBytes(std::size_t count, std::string* bytes) override {
    return below_.RandomBytes(count, bytes);
  }

  std::optional<int> platformId;
  std::optional<Date> today;
  std::optional<std::string> shortDateFormat;

  std::vector<std::string> commands;  // WinExec calls, in order
  std::vector<int> showStates;        // the show state of each
  unsigned long sleptMs = 0;
  int restartRequests = 0;

 private:
  SystemApi& below_;
};

}  // namespace zeb::testing
