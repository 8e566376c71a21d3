#pragma once
#include "platform/file_bytes_api.h"

namespace zeb {

// CreateFileA, ReadFile, WriteFile and FlushFileBuffers, one handle per call.
class Win32FileBytes : public FileBytesApi {
 public:
  FileReadStatus ReadAll(const std::string& path, std::string* bytes) override;
  bool WriteAll(const std::string& path, const std::string& bytes) override;
  bool Remove(const std::string& path) override;
  bool Exists(const std::string& path) override;
};

}  // namespace zeb
