#pragma once
// Whole files over a MemoryFileSystem: the same bytes the memory profiles and shortcuts read
// and write.
#include "platform/file_bytes_api.h"
#include "platform/memory/memory_file_system.h"

namespace zeb {

class MemoryFileBytes : public FileBytesApi {
 public:
  explicit MemoryFileBytes(MemoryFileSystem& files) : files_(files) {}

  FileReadStatus ReadAll(const std::string& path, std::string* bytes) override;
  bool WriteAll(const std::string& path, const std::string& bytes) override;
  bool Remove(const std::string& path) override;
  bool Exists(const std::string& path) override;

 private:
  MemoryFileSystem& files_;
};

}  // namespace zeb
