#include "platform/file_finder.h"

namespace zeb {

std::vector<FileEntry> FindMatching(FileFinder& finder, const std::string& pattern,
                                    std::uint32_t mask) {
  constexpr std::uint32_t kFiltered =
      fileattr::kHidden | fileattr::kSystem | fileattr::kVolumeId | fileattr::kDirectory;
  const std::uint32_t excluded = ~mask & kFiltered;
  std::vector<FileEntry> out;
  for (FileEntry& entry : finder.FindAll(pattern))
    if ((entry.attributes & excluded) == 0) out.push_back(std::move(entry));
  return out;
}

}  // namespace zeb
