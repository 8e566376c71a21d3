#pragma once
// Hive files over the memory Registry and file system. A hive file holds .reg text in which
// HKEY_CURRENT_USER stands for the hive's own root, wherever it is loaded: a user's hive is
// what HKEY_CURRENT_USER shows while that user is logged on. Answers like Windows: the
// privileges must be enabled first, a loaded key cannot be loaded twice, a hive with a
// handle open to any of its keys cannot be unloaded, and unloading writes the hive's
// changes back to its file. (Wine differs on the last two: it unloads while handles below
// the hive's root are open, and leaves the file as it was.)
#include <map>
#include <string>
#include <utility>

#include "platform/hive_api.h"
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_registry.h"

namespace zeb {

class MemoryHives : public HiveApi {
 public:
  MemoryHives(MemoryRegistry& registry, MemoryFileSystem& files)
      : registry_(registry), files_(files) {}

  long EnablePrivileges() override;
  long SaveKey(RegKey key, const std::string& file) override;
  long LoadKey(RegKey root, const std::string& name, const std::string& file) override;
  long UnLoadKey(RegKey root, const std::string& name) override;

  // Test side: an account without the backup and restore privileges.
  bool privilegesHeld = true;
  // How many hives are loaded now, and whether root\name is one of them.
  std::size_t LoadedCount() const { return loaded_.size(); }
  bool IsLoaded(RegKey root, const std::string& name) const;

 private:
  using Place = std::pair<RegKey, std::string>;  // the name upper-cased
  long CheckFile(const std::string& file) const;
  std::string SubtreeText(RegKey key);

  MemoryRegistry& registry_;
  MemoryFileSystem& files_;
  bool enabled_ = false;
  std::map<Place, std::string> loaded_;  // -> the hive file
};

}  // namespace zeb
