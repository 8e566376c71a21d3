#include "platform/memory/memory_file_finder.h"

#include "platform/memory/file_name_match.h"

namespace zeb {

std::vector<FileEntry> MemoryFileFinder::FindAll(const std::string& pattern) {
  const std::size_t split = pattern.find_last_of("\\/");
  // "*.LNK" and "\*.LNK" both search the root of the current drive.
  const std::string folder = split == std::string::npos ? std::string() : pattern.substr(0, split);
  const std::string mask = split == std::string::npos ? pattern : pattern.substr(split + 1);
  std::vector<FileEntry> found;
  if (mask.empty()) return found;
  if (const auto entries = files_.ListFolder(folder.empty() ? "\\" : folder))
    for (const FileEntry& entry : *entries)
      if (FileNameMatches(mask, entry.name)) found.push_back(entry);
  return found;
}

}  // namespace zeb
