#include "scan/folder_walk.h"

namespace zeb {

std::vector<std::string> EntriesToEnter(FileFinder& finder, const std::string& folder) {
  std::vector<std::string> paths;
  for (const FileEntry& entry : FindMatching(finder, folder + "\\*.*", fileattr::kFoldersMask))
    if (!entry.name.empty() && entry.name[0] != '.') paths.push_back(folder + "\\" + entry.name);
  return paths;
}

std::vector<std::string> FilesIn(FileFinder& finder, const std::string& folder,
                                 const std::string& pattern) {
  std::vector<std::string> paths;
  for (const FileEntry& entry :
       FindMatching(finder, folder + "\\" + pattern, fileattr::kAllFilesMask))
    paths.push_back(folder + "\\" + entry.name);
  return paths;
}

}  // namespace zeb
