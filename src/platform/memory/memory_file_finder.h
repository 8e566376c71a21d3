#pragma once
// File search over a MemoryFileSystem, reporting what FindFirstFileA/FindNextFileA would.
#include "platform/file_finder.h"
#include "platform/memory/memory_file_system.h"

namespace zeb {

class MemoryFileFinder : public FileFinder {
 public:
  explicit MemoryFileFinder(MemoryFileSystem& files) : files_(files) {}
  std::vector<FileEntry> FindAll(const std::string& pattern) override;

 private:
  MemoryFileSystem& files_;
};

}  // namespace zeb
