#include "platform/memory/memory_file_bytes.h"

namespace zeb {

// A path that exists but gives no bytes is a folder or a file that cannot be opened.
FileReadStatus MemoryFileBytes::ReadAll(const std::string& path, std::string* bytes) {
  if (std::optional<std::string> read = files_.ReadFile(path)) {
    *bytes = std::move(*read);
    return FileReadStatus::kRead;
  }
  return files_.Exists(path) ? FileReadStatus::kFailed : FileReadStatus::kNotFound;
}

bool MemoryFileBytes::WriteAll(const std::string& path, const std::string& bytes) {
  files_.SpendWrite();
  return files_.StoreFile(path, bytes);
}

bool MemoryFileBytes::Remove(const std::string& path) {
  files_.SpendWrite();
  return files_.RemoveFile(path);
}

bool MemoryFileBytes::Exists(const std::string& path) {
  return files_.Exists(path) && !files_.ListFolder(path);
}

}  // namespace zeb
