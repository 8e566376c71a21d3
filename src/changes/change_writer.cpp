#include "changes/change_writer.h"

#include <cstdint>
#include <limits>
#include <optional>

#include "changes/key_tree.h"
#include "platform/ini.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "platform/wide_case.h"

namespace zeb {
namespace {

constexpr std::size_t kIniNameLimit = 255;

LineOutcome Written() { return {LineStatus::kWritten, {}}; }

LineOutcome Failed(const char* pattern, const std::string& argument) {
  return {LineStatus::kFailed, SubstituteArgument(pattern, argument)};
}

// "[section]variable", as the INI scanner writes an entry's old text.
struct IniEntryName {
  std::string section;
  std::string variable;
};

std::optional<IniEntryName> SplitIniEntry(const std::string& text) {
  const std::size_t close = text.find(']');
  if (close == std::string::npos) return std::nullopt;
  const std::size_t open = !text.empty() && text[0] == '[' ? 1 : 0;
  IniEntryName entry{text.substr(open, close - open), Cut(text.substr(close + 1), kIniNameLimit)};
  if (entry.variable.empty()) return std::nullopt;
  return entry;
}

std::string IniPlace(const ChangeRec& change, const IniEntryName& entry) {
  return "INI\n" + UpperAscii(change.location) + "\n" + UpperAscii(entry.section);
}

std::string RegistryPlace(const ChangeRec& change) {
  return std::to_string(change.kind) + "\n" + UpperAscii(KeyPathFromRoot(change.location));
}

// Puts a value or variable under its new name once its contents are in hand: the new entry
// first (it replaces one of that name), then the old one goes, so that a write that fails, or
// a run stopped in between, loses nothing. Windows compares these names without case, beyond
// ASCII too, so the new name may be the old entry itself: then the old one must go first, and
// comes back if the new one cannot be written.
template <typename RemoveOld, typename WriteNew, typename RestoreOld>
void MoveToNewName(const std::string& oldName, const std::string& newName, RemoveOld removeOld,
                   WriteNew writeNew, RestoreOld restoreOld) {
  if (!SameFoldedName(oldName, newName)) {
    writeNew();
    removeOld();
    return;
  }
  removeOld();
  try {
    writeNew();
  } catch (...) {
    try {
      restoreOld();
    } catch (...) {
      // The write's own error is the one to report.
    }
    throw;
  }
}

// Text goes back as REG_SZ, except into an expandable string: "%SystemRoot%\system32" written
// as REG_SZ would stop expanding, and a mere change of name would break the workstation.
void WriteText(Registry& registry, const std::string& name, const std::string& text,
               ValueKind kind) {
  if (kind == ValueKind::kExpandString)
    registry.WriteExpandString(name, text);
  else
    registry.WriteString(name, text);
}

}  // namespace

std::string ChangeWriter::NameIn(const std::map<std::string, std::string>& names,
                                 const std::string& place, const std::string& name) {
  const auto it = names.find(place + "\n" + UpperAscii(name));
  return it == names.end() ? name : it->second;
}

void ChangeWriter::NoteRename(const std::string& place, const std::string& oldName,
                              const std::string& newName) {
  renamedNames_[place + "\n" + UpperAscii(oldName)] = newName;
}

LineOutcome ChangeWriter::Write(const ChangeRec& change) {
  switch (change.subType) {
    case kChangeVariableName:
      return change.kind == changekind::kIniEntry ? RenameIniVariable(change)
                                                  : RenameRegistryValue(change);
    case kChangeVariableContents:
      return change.kind == changekind::kIniEntry ? WriteIniContents(change)
                                                  : WriteRegistryContents(change);
    case kChangeShortcutPath:
    case kChangeShortcutDirectory:
    case kChangeShortcutArguments:
      return WriteShortcutField(change);
    default:
      return Failed("Unknown change type %s", std::to_string(change.subType));
  }
}

LineOutcome ChangeWriter::WriteIniContents(const ChangeRec& change) {
  const auto entry = SplitIniEntry(change.oldText);
  if (!entry) return Failed("Invalid INI entry '%s'", change.oldText);
  IniFiles(workstation_.profiles)
      .WriteString(change.location, entry->section,
                   CurrentName(IniPlace(change, *entry), entry->variable), change.newText);
  return Written();
}

LineOutcome ChangeWriter::RenameIniVariable(const ChangeRec& change) {
  const auto entry = SplitIniEntry(change.oldText);
  if (!entry) return Failed("Invalid INI entry '%s'", change.oldText);
  if (change.newText.empty()) return Failed("Cannot rename '%s' to an empty name", change.oldText);
  IniFiles ini(workstation_.profiles);
  const std::string& file = change.location;
  const std::string value = ini.ReadString(file, entry->section, entry->variable);
  MoveToNewName(entry->variable, change.newText,
                [&] { ini.DeleteKey(file, entry->section, entry->variable); },
                [&] { ini.WriteString(file, entry->section, change.newText, value); },
                [&] { ini.WriteString(file, entry->section, entry->variable, value); });
  NoteRename(IniPlace(change, *entry), entry->variable, change.newText);
  return Written();
}

LineOutcome ChangeWriter::WriteRegistryContents(const ChangeRec& change) {
  Registry registry(workstation_.registry, change.kind);
  // A key that cannot be opened or created shows up as the write's failure.
  registry.OpenKey(KeyPathFromRoot(change.location), true);
  const std::string name = CurrentName(RegistryPlace(change), change.oldText);
  WriteText(registry, name, change.newText, registry.GetDataType(name));
  return Written();
}

LineOutcome ChangeWriter::RenameRegistryValue(const ChangeRec& change) {
  Registry registry(workstation_.registry, change.kind);
  const std::string& oldName = change.oldText;
  const std::string& newName = change.newText;
  if (!registry.OpenKey(KeyPathFromRoot(change.location), false))
    return Failed("Value '%s' not found", oldName);

  // The value is read whole before anything is written, so a value that cannot be copied
  // leaves both names as they were. An existing value of the new name is replaced by the write.
  auto removeOld = [&] { registry.DeleteValue(oldName); };
  auto move = [&](auto writeNew, auto restoreOld) {
    MoveToNewName(oldName, newName, removeOld, writeNew, restoreOld);
  };
  const ValueKind kind = registry.GetDataType(oldName);
  switch (kind) {
    case ValueKind::kString:
    case ValueKind::kExpandString: {
      const std::string text = registry.ReadString(oldName);
      move([&] { WriteText(registry, newName, text, kind); },
           [&] { WriteText(registry, oldName, text, kind); });
      break;
    }
    case ValueKind::kInteger: {
      const std::int32_t number = registry.ReadInteger(oldName);
      move([&] { registry.WriteInteger(newName, number); },
           [&] { registry.WriteInteger(oldName, number); });
      break;
    }
    case ValueKind::kBinary: {
      const auto data =
          registry.ReadBinaryData(oldName, std::numeric_limits<std::size_t>::max());
      move([&] { registry.WriteBinaryData(newName, data); },
           [&] { registry.WriteBinaryData(oldName, data); });
      break;
    }
    case ValueKind::kOther:
      return registry.ValueExists(oldName)
                 ? Failed("Value '%s' has a type that cannot be renamed", oldName)
                 : Failed("Value '%s' not found", oldName);
  }
  NoteRename(RegistryPlace(change), oldName, newName);
  return Written();
}

LineOutcome ChangeWriter::WriteShortcutField(const ChangeRec& change) {
  // A shortcut that does not load must not receive the fields of the one loaded before.
  if (!shortcut_.Load(change.location)) return Failed("Unable to load shortcut %s", change.location);
  bool set = false;
  switch (change.subType) {
    case kChangeShortcutPath: set = shortcut_.SetPath(change.newText); break;
    case kChangeShortcutDirectory: set = shortcut_.SetWorkingDirectory(change.newText); break;
    default: set = shortcut_.SetArguments(change.newText); break;
  }
  if (!set || !shortcut_.Save(change.location))
    return Failed("Unable to save shortcut %s", change.location);
  return Written();
}

LineOutcome ChangeWriter::RenameKey(const ChangeRec& change) {
  const std::string from = KeyPathFromRoot(change.location);
  const std::string to = KeyPathFromRoot(change.oldText);
  RegistryApi& api = workstation_.registry;
  Registry registry(api, change.kind);

  if (!registry.KeyExists(from)) {
    // A key renamed earlier in this Save took this one along, below that key's new path.
    // Going on would delete the target, which may hold what that rename has just moved.
    for (const DoneKeyRename& done : keyRenames_)
      if (done.root == change.kind && IsKeyBelow(from, done.from)) return Written();
    return Failed("Key '%s' not found", from);
  }
  // A key cannot be moved into its own branch or out of it onto its parent; one that only
  // changes the case of its letters is renamed in place (below).
  if (NormalizedKeyPath(from) == NormalizedKeyPath(to) || IsKeyBelow(to, from) ||
      IsKeyBelow(from, to))
    return Failed("Cannot rename key '%s' to itself, a key above it or a key below it", from);

  // Every key the rename can write is known before its first write: `from`, `to`, and the free
  // path `aside` where the key itself (a rename in place) or the key in the way waits.
  const bool inPlace = IsSameKey(from, to);
  std::string aside;
  if (inPlace || registry.KeyExists(to)) {
    aside = FreeKeyPathBeside(api, change.kind, inPlace ? from : to);
    if (aside.empty()) return Failed("Unable to move key '%s'", from);
  }
  const bool windowsNt = workstation_.system.PlatformId() == platformid::kWindowsNt;
  const bool moved = inPlace ? RenameInPlace(change.kind, from, to, aside, windowsNt)
                             : ReplaceTarget(change.kind, from, to, aside, windowsNt);
  if (!moved) return Failed("Unable to move key '%s'", from);
  keyRenames_.push_back({change.kind, from});
  return Written();
}

// To the Registry the new name is the key itself: it goes aside first, then to its new
// spelling; if that second step fails it goes back.
bool ChangeWriter::RenameInPlace(RegKey root, const std::string& from, const std::string& to,
                                 const std::string& aside, bool windowsNt) {
  RegistryApi& api = workstation_.registry;
  BeforeKeyRename(root, {from, aside});
  if (!MoveKeyWhole(api, root, from, aside, windowsNt)) return false;
  if (MoveKeyWhole(api, root, aside, to, windowsNt)) return true;
  (void)MoveKeyWhole(api, root, aside, from, windowsNt);
  return false;
}

// A key already at the new path (then `aside` is set) is replaced, but only once the move has
// succeeded: until then it waits aside, and comes back when the move fails.
bool ChangeWriter::ReplaceTarget(RegKey root, const std::string& from, const std::string& to,
                                 const std::string& aside, bool windowsNt) {
  RegistryApi& api = workstation_.registry;
  BeforeKeyRename(root, aside.empty() ? std::vector<std::string>{from, to}
                                      : std::vector<std::string>{from, to, aside});
  if (!aside.empty() && !MoveKeyWhole(api, root, to, aside, windowsNt)) return false;
  if (!MoveKeyWhole(api, root, from, to, windowsNt)) {
    if (!aside.empty()) (void)MoveKeyWhole(api, root, aside, to, windowsNt);
    return false;
  }
  if (!aside.empty()) DeleteKeyTree(api, root, aside);
  return true;
}

void ChangeWriter::BeforeKeyRename(RegKey root, const std::vector<std::string>& keys) {
  if (!beforeKeyRename) return;
  std::vector<UndoTarget> targets;
  for (const std::string& key : keys) targets.push_back({JournalItemKind::kKey, root, key, {}});
  beforeKeyRename(targets);
}

std::vector<UndoTarget> ChangeWriter::FirstPassTargets(const ChangeRec& change) {
  switch (change.subType) {
    case kChangeVariableName:
    case kChangeVariableContents:
      break;
    case kChangeShortcutPath:
    case kChangeShortcutDirectory:
    case kChangeShortcutArguments:
      return {{JournalItemKind::kFile, 0, change.location, {}}};
    default:
      return {};
  }
  if (change.kind == changekind::kIniEntry)
    return {{JournalItemKind::kFile, 0, change.location, {}}};
  const std::string keyPath = KeyPathFromRoot(change.location);
  if (change.subType == kChangeVariableContents)
    return {{JournalItemKind::kValue, change.kind, keyPath,
             NameIn(plannedNames_, RegistryPlace(change), change.oldText), true}};
  plannedNames_[RegistryPlace(change) + "\n" + UpperAscii(change.oldText)] = change.newText;
  return {{JournalItemKind::kValue, change.kind, keyPath, change.oldText},
          {JournalItemKind::kValue, change.kind, keyPath, change.newText}};
}

}  // namespace zeb
