#include "scan/folder_walk.h"

#include "platform/file_pattern.h"

namespace zeb {

FolderContents ListFolder(FileFinder& finder, const std::string& folder,
                          std::string_view filePattern) {
  FolderContents contents;
  // "*" lists what "*.*" lists, in the same order.
  for (const FileEntry& entry : finder.FindAll(folder + "\\*")) {
    if (entry.attributes & fileattr::kDirectory) {
      if (MaskReports(fileattr::kFoldersMask, entry.attributes) && !entry.name.empty() &&
          entry.name[0] != '.')
        contents.subfolders.push_back(folder + "\\" + entry.name);
    } else if (MaskReports(fileattr::kAllFilesMask, entry.attributes) &&
               PatternReports(filePattern, entry)) {
      contents.files.push_back(folder + "\\" + entry.name);
    }
  }
  return contents;
}

}  // namespace zeb
