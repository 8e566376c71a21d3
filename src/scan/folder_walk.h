#pragma once
// What the file scanners walk a folder tree with: one "*" listing per folder, read as the two
// searches the walk is defined by would report it.
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_finder.h"

namespace zeb {

struct FolderContents {
  // Full paths of the files folder\<filePattern> reports with the every-file mask (hidden,
  // system and read-only ones included, a match of the 8.3 alias too), in listing order.
  std::vector<std::string> files;
  // Full paths of the folders folder\*.* reports with the folders mask (not hidden or system
  // ones, no name beginning with "."), in listing order. That search reports plain files as
  // well; entering one finds nothing, so they are left out.
  std::vector<std::string> subfolders;
};

FolderContents ListFolder(FileFinder& finder, const std::string& folder,
                          std::string_view filePattern);

}  // namespace zeb
