#include "support/app_harness.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zeb::testing {

std::string ForbiddenProfiles::GetString(const std::optional<std::string>&,
                                         const std::optional<std::string>&, const std::string&,
                                         std::size_t, const std::string& file) {
  ADD_FAILURE() << "unexpected INI read of " << file;
  return {};
}

bool ForbiddenProfiles::WriteString(const std::string&, const std::optional<std::string>&,
                                    const std::optional<std::string>&, const std::string& file) {
  ADD_FAILURE() << "unexpected INI write to " << file;
  return false;
}

std::vector<FileEntry> ForbiddenFiles::FindAll(const std::string& pattern) {
  ADD_FAILURE() << "unexpected file search " << pattern;
  return {};
}

namespace {

class InertShellLink : public ShellLink {
 public:
  bool Load(const std::string&) override { return false; }
  bool GetPath(std::string*) override { return false; }
  bool GetWorkingDirectory(std::string*) override { return false; }
  bool GetArguments(std::string*) override { return false; }
  bool SetPath(const std::string&) override { return false; }
  bool SetWorkingDirectory(const std::string&) override { return false; }
  bool SetArguments(const std::string&) override { return false; }
  bool Save(const std::string&) override { return false; }
};

}  // namespace

std::unique_ptr<ShellLink> CountingShellLinks::Create() {
  if (!available) return nullptr;
  ++created;
  return std::make_unique<InertShellLink>();
}

AppHarness::AppHarness() {
  directory.treeNames[directory.defaultFullName] = "ACME_TREE";
  directory.treeUsers["ACME_TREE"] = "Bob";
  system.commandLine = "zeb.exe";
}

Program& AppHarness::program() {
  if (!program_) {
    const AppServices services{*workstationInUse, directory, main,  splash, control, view,
                               view,        *boxesInUse, files, *scannersInUse, *saverInUse,
                               reportInUse, mode,        rollbackJournal, hivesInUse};
    program_ = std::make_unique<Program>(services);
  }
  return *program_;
}

std::vector<std::string> AppHarness::LogFrom(const std::string& marker) const {
  auto from = marker.empty() ? log.begin() : std::find(log.begin(), log.end(), marker);
  return std::vector<std::string>(from, log.end());
}

bool AppHarness::Logged(const std::string& entry) const {
  return std::find(log.begin(), log.end(), entry) != log.end();
}

}  // namespace zeb::testing
