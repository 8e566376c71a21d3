#pragma once
// What every scanner works with during one scan run.
#include <functional>
#include <string>

#include "changes/change_list.h"
#include "directory/names.h"
#include "platform/run_flags.h"
#include "platform/shell_link_api.h"
#include "platform/view.h"
#include "platform/workstation.h"
#include "scan/repaint_throttle.h"

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
  // When pending messages are next due is told by this clock; tests give a fake one.
  std::function<RepaintThrottle::Clock::time_point()> now = RepaintThrottle::Clock::now;

  bool SearchAndReplace() const { return mode == ProgramMode::kSearchAndReplace; }
  bool IsWindowsNt() const { return workstation.system.PlatformId() == 2; }
};

}  // namespace zeb
