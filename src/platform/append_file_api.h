#pragma once
// A file written from its start by appending, with an explicit flush to disk: what the undo
// journal is written through. Backends: win32/ (CreateFileA, WriteFile, FlushFileBuffers)
// and memory/ (tests; it keeps apart what was flushed, which a killed process would leave).
#include <memory>
#include <string>
#include <string_view>

namespace zeb {

class AppendFile {
 public:
  virtual ~AppendFile() = default;
  // Adds the bytes at the end; they may stay in buffers until Flush. False on any failure.
  [[nodiscard]] virtual bool Append(std::string_view bytes) = 0;
  // Everything appended so far is on disk when it returns true.
  [[nodiscard]] virtual bool Flush() = 0;
};

class AppendFiles {
 public:
  virtual ~AppendFiles() = default;
  // Creates the file, or empties an existing one; null when it cannot be made.
  virtual std::unique_ptr<AppendFile> Create(const std::string& path) = 0;
};

}  // namespace zeb
