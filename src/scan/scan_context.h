#pragma once
// What every scanner works with during one scan run.
#include <string>

#include "changes/change_list.h"
#include "directory/names.h"
#include "platform/run_flags.h"
#include "platform/shell_link_api.h"
#include "platform/view.h"
#include "platform/workstation.h"

namespace zeb {

enum class ProgramMode { kDereferenceAliases = 0, kSearchAndReplace = 1 };

struct ScanContext {
  Workstation& workstation;
  DirectoryNames& names;
  ChangeList& changes;
  ProgressView& view;
  const RunFlags& flags;
  ProgramMode mode = ProgramMode::kDereferenceAliases;
  std::string search;   // never empty in kSearchAndReplace
  std::string replace;  // may be empty
  std::string treeUserName;
  ShellLink* shellLink = nullptr;  // the scan run's one shortcut object

  bool SearchAndReplace() const { return mode == ProgramMode::kSearchAndReplace; }
  bool IsWindowsNt() const { return workstation.system.PlatformId() == 2; }
};

}  // namespace zeb
