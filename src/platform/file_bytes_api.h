#pragma once
// Whole files as bytes: what an undo image reads before Save writes INI and shortcut files
// (through the profile functions and the shell object) and writes back on a rollback.
// Backends: win32/ (CreateFileA, ReadFile, WriteFile, FlushFileBuffers) and memory/ (over the
// MemoryFileSystem that the memory profiles and shortcuts use, so both see the same bytes).
#include <string>

namespace zeb {

enum class FileReadStatus { kRead, kNotFound, kFailed };

class FileBytesApi {
 public:
  virtual ~FileBytesApi() = default;
  // The whole file into `bytes`. kNotFound when there is no such file (or its folder is
  // missing); kFailed when it exists but cannot be read (a folder, locked, no access).
  [[nodiscard]] virtual FileReadStatus ReadAll(const std::string& path, std::string* bytes) = 0;
  // Creates the file or replaces its contents with `bytes`, and flushes it to disk before it
  // returns. False on any failure.
  [[nodiscard]] virtual bool WriteAll(const std::string& path, const std::string& bytes) = 0;
  // Deletes the file. True when it is gone afterwards, also when there was none.
  [[nodiscard]] virtual bool Remove(const std::string& path) = 0;
  // Whether a file (not a folder) of that name exists.
  virtual bool Exists(const std::string& path) = 0;
};

}  // namespace zeb
