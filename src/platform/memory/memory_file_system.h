#pragma once
// Drives, folders and files held in memory, named by Windows paths ("C:\WINDOWS\WIN.INI").
// Names compare ignoring case and keep the case they were made with; a folder lists its
// entries in the order Wine's FindFirstFileA/FindNextFileA report them. A path without a
// drive ("\*.LNK", "WIN.INI") counts from the root of drive C:, the current drive.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/file_finder.h"
#include "platform/memory/write_budget.h"

namespace zeb {

class MemoryFileSystem {
 public:
  MemoryFileSystem();
  ~MemoryFileSystem();
  MemoryFileSystem(const MemoryFileSystem&) = delete;
  MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

  // Test set-up. Both create missing parent folders; std::invalid_argument when the path
  // is not a drive path or a file stands where a folder is needed.
  void MakeFolder(const std::string& path, std::uint32_t attributes = 0);
  void WriteFile(const std::string& path, const std::string& bytes, std::uint32_t attributes = 0);
  // The file's bytes; nothing for a folder, a missing file or one that cannot be read.
  std::optional<std::string> ReadFile(const std::string& path) const;
  bool Exists(const std::string& path) const;  // a file or a folder
  // From now on writes to that file fail (it may not exist yet).
  void FailWrites(const std::string& path);
  // From now on that file cannot be opened, as when another program holds it open
  // exclusively: it reads as unreadable and cannot be written either.
  void FailReads(const std::string& path);

  // The profiles, shortcuts and file bytes over this file system spend one unit of `budget`
  // before each write they make (see write_budget.h); null ends that.
  void UseWriteBudget(WriteBudget* budget) { budget_ = budget; }

  // For the backends built on it.
  void SpendWrite() {
    if (budget_) budget_->Spend();
  }
  // Whether the file can be opened for writing: its folder exists, it is no folder, it is
  // not read-only and no failure was set for it.
  bool IsWritable(const std::string& path) const;
  // Replaces a file's bytes or creates the file (attributes kept; a new file is archive).
  // False, with nothing changed, when the file is not writable.
  bool StoreFile(const std::string& path, const std::string& bytes);
  // Deletes a file, as DeleteFileA does: false, with nothing changed, for a folder and for a
  // file that is not writable; true when there was no such file.
  bool RemoveFile(const std::string& path);
  // A folder's entries in the file system's order, "." and ".." first except at a drive's
  // root, each with its 8.3 alias; nothing when the path is no folder.
  std::optional<std::vector<FileEntry>> ListFolder(const std::string& path) const;

 private:
  struct Node;
  struct Location;
  std::optional<Location> Locate(const std::string& path) const;
  Node* Find(const Location& location) const;
  Node& MakeFolders(const Location& location, std::size_t count);

  std::map<char, std::unique_ptr<Node>> drives_;
  std::set<std::u16string> failedWrites_;
  std::set<std::u16string> failedReads_;
  WriteBudget* budget_ = nullptr;
};

}  // namespace zeb
