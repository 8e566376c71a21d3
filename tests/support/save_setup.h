#pragma once
// Save over a given backend, with a recording view, recorded system commands, and helpers
// that seed and read back the workstation through the program's own Registry, INI and
// shortcut layers, so that the same cases run on the memory backend and on the real one.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "changes/change_list.h"
#include "changes/report.h"
#include "changes/save.h"
#include "platform/workstation.h"
#include "support/recording_system.h"
#include "support/recording_view.h"

namespace zeb::testing {

struct ShortcutFields {
  std::string path, directory, arguments;
  bool operator==(const ShortcutFields& o) const {
    return path == o.path && directory == o.directory && arguments == o.arguments;
  }
};

class SaveSetup {
 public:
  // `system` answers the facts; its commands and pauses are only recorded.
  SaveSetup(RegistryApi& registry, ProfileApi& profiles, FileFinder& files,
            ShellLinkFactory& shellLinks, SystemApi& system, FileBytesApi& fileBytes);
  // The workstation and the list refer to members of this very object.
  SaveSetup(const SaveSetup&) = delete;
  SaveSetup& operator=(const SaveSetup&) = delete;

  SaveResult Save();

  // Adds a change that must not be a duplicate.
  void Add(std::uint32_t kind, std::uint8_t subType, const std::string& location,
           const std::string& oldText, const std::string& newText);
  static std::vector<LineStatus> Statuses(const SaveResult& result);

  // The Registry, through the Registry layer. Seeding creates the key.
  void SetString(RegKey root, const std::string& path, const std::string& name,
                 const std::string& value);
  void SetRaw(RegKey root, const std::string& path, const std::string& name, std::uint32_t type,
              const std::vector<std::uint8_t>& data);
  // The value's type and data, or nullopt when the key or value is missing.
  std::optional<RegValue> Value(RegKey root, const std::string& path, const std::string& name);
  // A REG_SZ's text; "<missing>" or "<type N>" otherwise.
  std::string String(RegKey root, const std::string& path, const std::string& name);
  bool KeyExists(RegKey root, const std::string& path);
  std::vector<std::string> ValueNames(RegKey root, const std::string& path);

  // The INI file `iniFile`, through the INI layer.
  void SetIni(const std::string& section, const std::string& key, const std::string& value);
  std::string Ini(const std::string& section, const std::string& key);
  std::vector<std::string> IniKeys(const std::string& section);

  // Shortcut files, through the shortcut object; "<unloadable>" as the path of one that
  // does not load.
  void MakeShortcut(const std::string& file, const ShortcutFields& fields);
  ShortcutFields Shortcut(const std::string& file);

  // Status texts of one line, in the order they were set.
  std::vector<std::string> StatusesOf(StatusLine line) const;

  RecordingSystem system;
  Workstation workstation;
  RecordingView view;
  RunFlags flags;
  ChangeList changes{view, view, flags};
  std::string iniFile;
  int saveButtonDisabled = 0;
  ChangeReport* report = nullptr;
};

}  // namespace zeb::testing
