#include "contract/backend.h"
#include "contract/memory_backend.h"
#include "platform/memory/memory_file_bytes.h"
#include "platform/memory/memory_file_finder.h"
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_profiles.h"
#include "platform/memory/memory_shell_links.h"

namespace zeb::contract {

MemoryFileSystem& FileSystem() {
  static MemoryFileSystem files;
  return files;
}

ProfileApi& Profiles() {
  static MemoryProfiles profiles(FileSystem());
  return profiles;
}

FileFinder& Files() {
  static MemoryFileFinder finder(FileSystem());
  return finder;
}

ShellLinkFactory& ShellLinks() {
  static MemoryShellLinkFactory links(FileSystem());
  return links;
}

FileBytesApi& FileBytes() {
  static MemoryFileBytes bytes(FileSystem());
  return bytes;
}

std::string NewFolder() {
  static int count = 0;
  const std::string path = "C:\\ZebContract\\" + std::to_string(++count);
  FileSystem().MakeFolder(path);
  return path;
}

void MakeFolder(const std::string& path, std::uint32_t attributes) {
  FileSystem().MakeFolder(path, attributes);
}

void WriteTestFile(const std::string& path, const std::string& bytes, std::uint32_t attributes) {
  FileSystem().WriteFile(path, bytes, attributes);
}

std::string ReadTestFile(const std::string& path) { return FileSystem().ReadFile(path).value_or(""); }

bool TestFileExists(const std::string& path) { return FileSystem().Exists(path); }

std::shared_ptr<void> HoldFileOpen(const std::string& path) {
  FileSystem().FailReads(path);
  return std::make_shared<int>(0);
}

}  // namespace zeb::contract
