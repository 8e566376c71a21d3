#include "platform/file_finder.h"

namespace zeb {

bool MaskReports(std::uint32_t mask, std::uint32_t attributes) {
  constexpr std::uint32_t kFiltered =
      fileattr::kHidden | fileattr::kSystem | fileattr::kVolumeId | fileattr::kDirectory;
  return (attributes & ~mask & kFiltered) == 0;
}

std::vector<FileEntry> FindMatching(FileFinder& finder, const std::string& pattern,
                                    std::uint32_t mask) {
  std::vector<FileEntry> out;
  for (FileEntry& entry : finder.FindAll(pattern))
    if (MaskReports(mask, entry.attributes)) out.push_back(std::move(entry));
  return out;
}

}  // namespace zeb
