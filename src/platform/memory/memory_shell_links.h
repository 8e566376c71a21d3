#pragma once
// Shortcut files over a MemoryFileSystem. A shortcut file holds its three fields in a
// small text form of our own (see WriteShortcut); any other file fails to load, as a file
// that is no shell link fails to load into the shell's object.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/memory/memory_file_system.h"
#include "platform/shell_link_api.h"

namespace zeb {

struct MemoryShortcut {
  std::string target, workingDirectory, arguments;
  bool operator==(const MemoryShortcut& other) const {
    return target == other.target && workingDirectory == other.workingDirectory &&
           arguments == other.arguments;
  }
};

void WriteShortcut(MemoryFileSystem& files, const std::string& path, const MemoryShortcut& shortcut,
                   std::uint32_t attributes = 0);
// The fields of a shortcut file; nothing when the file is missing or no shortcut.
std::optional<MemoryShortcut> ReadShortcut(const MemoryFileSystem& files, const std::string& path);

class MemoryShellLinkFactory : public ShellLinkFactory {
 public:
  explicit MemoryShellLinkFactory(MemoryFileSystem& files) : files_(files) {}
  std::unique_ptr<ShellLink> Create() override;  // null once FailCreate() was called
  void FailCreate() { failCreate_ = true; }

 private:
  MemoryFileSystem& files_;
  bool failCreate_ = false;
};

}  // namespace zeb
