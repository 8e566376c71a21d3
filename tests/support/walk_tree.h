#pragma once
// A folder tree for holding the file scanners' walks to the reference walk: hidden and system
// folders, a folder whose name begins with ".", hidden, system and read-only INI and shortcut
// files, names that match only through their 8.3 alias, folders named like INI files and
// shortcuts, empty folders, deep nesting, and a seeded random part; and one scan run's
// outcome of either walk over it, in both modes.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/shell_link_api.h"
#include "platform/view.h"
#include "platform/workstation.h"
#include "scan/scan_context.h"

namespace zeb::testing {

// How a test makes folders and files in its backend.
struct TreeMaker {
  std::function<void(const std::string& path, std::uint32_t attributes)> makeFolder;
  std::function<void(const std::string& path, const std::string& bytes, std::uint32_t attributes)>
      writeFile;
  std::function<std::string(const std::string& path)> readFile;
  ShellLinkFactory& shellLinks;
};

// Makes the tree below `root` (which need not exist). `randomFolders` folders are added at
// random places, each with a few random files.
void MakeWalkTree(const TreeMaker& maker, const std::string& root, unsigned seed,
                  int randomFolders);

// The paths MakeWalkTree puts a finding in that the walks must reach, and ones they must not.
std::vector<std::string> WalkTreeReached(const std::string& root);
std::vector<std::string> WalkTreeNotReached(const std::string& root);

enum class WalkKind { kReference, kOneListing };

struct WalkOutcome {
  std::vector<std::string> changes;  // "<kind> <subType> <location> | <old> | <new>", in order
  std::vector<std::string> lines;    // the check-list lines, "1 " or "0 " for the tick first
  // Every text set on the main window's Label1, Label2 and Label4, in order.
  std::vector<std::pair<StatusLine, std::string>> detailStatus;
};

WalkOutcome RunIniWalk(Workstation& workstation, WalkKind walk, ProgramMode mode,
                       const std::string& root);
WalkOutcome RunShortcutWalk(Workstation& workstation, WalkKind walk, ProgramMode mode,
                            const std::string& root);

}  // namespace zeb::testing
