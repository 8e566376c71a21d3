#pragma once
// Writes one change to the workstation. Failures that end Save are raised (RegistryError,
// IniError); failures that only concern the one change come back as a failed outcome.
#include <map>
#include <string>
#include <vector>

#include "changes/change_list.h"
#include "changes/line_outcome.h"
#include "platform/shell_link_api.h"
#include "platform/workstation.h"

namespace zeb {

class ChangeWriter {
 public:
  ChangeWriter(Workstation& workstation, ShellLink& shortcut)
      : workstation_(workstation), shortcut_(shortcut) {}

  // First pass: every change but a key rename.
  LineOutcome Write(const ChangeRec& change);
  // Second pass: a key rename (RenameHive).
  LineOutcome RenameKey(const ChangeRec& change);

 private:
  LineOutcome WriteIniContents(const ChangeRec& change);
  LineOutcome RenameIniVariable(const ChangeRec& change);
  LineOutcome WriteRegistryContents(const ChangeRec& change);
  LineOutcome RenameRegistryValue(const ChangeRec& change);
  LineOutcome WriteShortcutField(const ChangeRec& change);
  // The two ways of a key rename, through the free path `aside`; false when the key could not
  // be moved (nothing is lost).
  bool RenameInPlace(RegKey root, const std::string& from, const std::string& to,
                     const std::string& aside, bool windowsNt);
  bool ReplaceTarget(RegKey root, const std::string& from, const std::string& to,
                     const std::string& aside, bool windowsNt);

  // The name a value or variable has now: a rename earlier in this Save moves it, and a
  // contents change that comes after its rename belongs under the new name.
  std::string CurrentName(const std::string& place, const std::string& name) const;
  void NoteRename(const std::string& place, const std::string& oldName,
                  const std::string& newName);

  struct DoneKeyRename {
    std::uint32_t root;
    std::string from;
  };

  Workstation& workstation_;
  ShellLink& shortcut_;
  std::map<std::string, std::string> renamedNames_;  // folded place + old name -> new name
  std::vector<DoneKeyRename> keyRenames_;
};

}  // namespace zeb
