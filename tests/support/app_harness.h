#pragma once
// The program's logic wired to fakes of its windows, a scriptable directory, the memory
// Registry and system, and logging scanners and Save.
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/memory/memory_file_bytes.h"
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_system.h"
#include "platform/workstation.h"
#include "support/app_fakes.h"
#include "support/fake_directory.h"

namespace zeb::testing {

// The program's logic leaves INI files and file searches to the scanners and Save, which
// are fakes here: any use of these is a test failure.
class ForbiddenProfiles : public ProfileApi {
 public:
  std::string GetString(const std::optional<std::string>&, const std::optional<std::string>&,
                        const std::string&, std::size_t, const std::string& file) override;
  bool WriteString(const std::string&, const std::optional<std::string>&,
                   const std::optional<std::string>&, const std::string& file) override;
};

class ForbiddenFiles : public FileFinder {
 public:
  std::vector<FileEntry> FindAll(const std::string& pattern) override;
};

// Shortcut objects that do nothing; `available` off makes creation fail.
class CountingShellLinks : public ShellLinkFactory {
 public:
  std::unique_ptr<ShellLink> Create() override;
  bool available = true;
  int created = 0;
};

class AppHarness {
 public:
  AppHarness();

  // The program over the current settings; the first call makes it.
  Program& program();
  void CommandLine(const std::string& arguments) { system.commandLine = "zeb.exe " + arguments; }
  // The splash window's first activation: the start-up.
  void StartUp() { program().OnSplashActivate(); }
  RunFlags& flags() { return program().State().flags; }

  // Log entries from the first one equal to `marker` on (all when empty).
  std::vector<std::string> LogFrom(const std::string& marker) const;
  bool Logged(const std::string& entry) const;
  void ClearLog() { log.clear(); }

  CallLog log;
  LoggingView view{log};
  FakeMainWindow main{log, view};
  FakeSplashWindow splash{log};
  FakeProgramControl control{log};
  FakeDirectory directory{&log};
  FakeScanners scanners{log};
  FakeSaver saver{log};
  ChangeSaver* saverInUse = &saver;  // set before the program is made
  std::string rollbackJournal;       // "/ROLLBACK=", set before the program is made
  ChangeReport* reportInUse = nullptr;  // likewise
  MessageBoxes* boxesInUse = &view;     // likewise
  RunMode mode;                         // likewise
  // Likewise: the platform, the scanners and the hives the program gets ("/ALLUSERS").
  Workstation* workstationInUse = &workstation;
  ScannerFactory* scannersInUse = &scanners;
  HiveApi* hivesInUse = nullptr;
  FakeTextFiles files;
  MemoryRegistry registry;
  MemorySystem system;
  ForbiddenProfiles profiles;
  ForbiddenFiles finder;
  CountingShellLinks shellLinks;
  MemoryFileSystem fileSystem;
  MemoryFileBytes fileBytes{fileSystem};
  Workstation workstation{registry, profiles, finder, shellLinks, system, fileBytes};

 private:
  std::unique_ptr<Program> program_;
};

}  // namespace zeb::testing
