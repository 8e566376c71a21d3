#pragma once
// FindFirstFileA / FindNextFileA and the attribute-mask filter the scanners search with.
#include <cstdint>
#include <string>
#include <vector>

namespace zeb {

namespace fileattr {
constexpr std::uint32_t kReadOnly = 0x01;
constexpr std::uint32_t kHidden = 0x02;
constexpr std::uint32_t kSystem = 0x04;
constexpr std::uint32_t kVolumeId = 0x08;
constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kArchive = 0x20;
// Masks of the two searches: folders and plain files, or every file but no folders.
constexpr std::uint32_t kFoldersMask = 0x10;
constexpr std::uint32_t kAllFilesMask = 0x2F;
}  // namespace fileattr

struct FileEntry {
  std::string name;
  std::uint32_t attributes = 0;
  // The 8.3 alias the file system gives a name that is not a valid 8.3 name itself
  // (cAlternateFileName); empty for one that is.
  std::string shortName;
};

class FileFinder {
 public:
  virtual ~FileFinder() = default;
  // Every entry the file system reports for the pattern ("C:\dir\*.INI"), in its order,
  // "." and ".." included. Empty when the folder does not exist or cannot be listed.
  virtual std::vector<FileEntry> FindAll(const std::string& pattern) = 0;
};

// Whether a search with `mask` reports an entry with these attributes: hidden, system,
// volume-label and folder entries only when their bit is in the mask; plain files always.
bool MaskReports(std::uint32_t mask, std::uint32_t attributes);

// The entries of `pattern` that a search with `mask` reports (MaskReports), in their order.
std::vector<FileEntry> FindMatching(FileFinder& finder, const std::string& pattern,
                                    std::uint32_t mask);

}  // namespace zeb
