#pragma once
// The two searches the file scanners walk a folder tree with.
#include <string>
#include <vector>

#include "platform/file_finder.h"

namespace zeb {

// Full paths of what folder\*.* reports with the folders mask, in its order: subfolders and
// plain files (a plain file entered yields nothing), not hidden or system entries, and no
// name beginning with ".".
std::vector<std::string> EntriesToEnter(FileFinder& finder, const std::string& folder);

// Full paths of every file folder\pattern reports, hidden and system ones included.
std::vector<std::string> FilesIn(FileFinder& finder, const std::string& folder,
                                 const std::string& pattern);

}  // namespace zeb
