#pragma once
// A scan context over the in-memory Registry, a recording view and a given directory, for
// the Registry scanners' tests. Changes read back as one line each.
#include <memory>
#include <string>
#include <vector>

#include "changes/change_list.h"
#include "directory/names.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_system.h"
#include "scan/scan_context.h"
#include "support/recording_view.h"

namespace zeb::testing {

class RegistryScanSetup {
 public:
  explicit RegistryScanSetup(DirectoryClient& directory, const std::string& treeName = "ACME_TREE",
                             DirContextHandle directoryContext = 1);
  ~RegistryScanSetup();

  void Seed(const std::string& regText) { registry.ImportRegText(regText); }
  void UseSearchAndReplace(const std::string& search, const std::string& replace);

  // "HKLM 3 \path | old | new" (HKU for HKEY_USERS), in list order.
  std::vector<std::string> Changes() const;

  MemoryRegistry registry;
  MemorySystem system;
  RecordingView view;
  RunFlags flags;

 private:
  struct Unused;
  std::unique_ptr<Unused> unused_;

 public:
  Workstation workstation;
  ChangeList changes;
  DirectoryNames names;
  ScanContext context;
};

std::string Describe(const ChangeRec& change);

}  // namespace zeb::testing
