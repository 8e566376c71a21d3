#include "platform/memory/memory_hives.h"

#include <stdexcept>

#include "platform/memory/reg_text.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace zeb {
namespace {

std::string FolderOf(const std::string& file) {
  const std::size_t slash = file.find_last_of('\\');
  return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

void CollectKeys(RegistryApi& api, RegKey key, const std::string& path,
                 std::vector<RegTextKey>* keys) {
  keys->push_back({path, {}});
  std::vector<RegValue>& values = keys->back().values;
  ForEachValue(api, key, true, [&](const RegValue& value) { values.push_back(value); });
  for (const std::string& name : ListSubKeys(api, key)) {
    RegKey child = 0;
    if (api.OpenKey(key, name, KeyAccess::kAll, &child) != winerr::kSuccess) continue;
    const KeyHandle owned(api, child);
    CollectKeys(api, child, path.empty() ? name : path + "\\" + name, keys);
  }
}

}  // namespace

long MemoryHives::EnablePrivileges() {
  if (!privilegesHeld) return winerr::kNotAllAssigned;
  enabled_ = true;
  return winerr::kSuccess;
}

bool MemoryHives::IsLoaded(RegKey root, const std::string& name) const {
  return loaded_.count({root, UpperAscii(name)}) > 0;
}

std::string MemoryHives::SubtreeText(RegKey key) {
  std::vector<RegTextKey> keys;
  CollectKeys(registry_, key, "", &keys);
  return FormatRegText(hkey::kCurrentUser, keys);
}

long MemoryHives::SaveKey(RegKey key, const std::string& file) {
  if (!enabled_) return winerr::kPrivilegeNotHeld;
  KeyInfo info;
  if (const long result = registry_.QueryInfoKey(key, &info); result != winerr::kSuccess)
    return result;
  if (files_.Exists(file)) return winerr::kAlreadyExists;
  if (!files_.Exists(FolderOf(file))) return winerr::kPathNotFound;
  return files_.StoreFile(file, SubtreeText(key)) ? winerr::kSuccess : winerr::kAccessDenied;
}

long MemoryHives::CheckFile(const std::string& file) const {
  if (!files_.Exists(FolderOf(file))) return winerr::kPathNotFound;
  if (!files_.Exists(file)) return winerr::kFileNotFound;
  // Held open by another program (its user is logged on, or something backs it up).
  if (!files_.ReadFile(file)) return winerr::kSharingViolation;
  return winerr::kSuccess;
}

long MemoryHives::LoadKey(RegKey root, const std::string& name, const std::string& file) {
  if (!enabled_) return winerr::kPrivilegeNotHeld;
  if (root != hkey::kUsers && root != hkey::kLocalMachine) return winerr::kInvalidParameter;
  if (name.empty() || name.find('\\') != std::string::npos) return winerr::kInvalidParameter;
  if (registry_.HasKey(root, name)) return winerr::kAlreadyExists;
  if (const long result = CheckFile(file); result != winerr::kSuccess) return result;

  std::vector<RegTextEdit> edits;
  try {
    edits = ParseRegText(*files_.ReadFile(file));
  } catch (const std::runtime_error&) {
    return winerr::kNotRegistryFile;
  }
  RegTextEdit mount;
  mount.root = root;
  mount.path = name;
  for (RegTextEdit& edit : edits) {
    if (edit.root != hkey::kCurrentUser) return winerr::kNotRegistryFile;
    edit.root = root;
    edit.path = edit.path.empty() ? name : name + "\\" + edit.path;
  }
  edits.insert(edits.begin(), mount);
  registry_.ImportEdits(edits);
  loaded_[{root, UpperAscii(name)}] = file;
  return winerr::kSuccess;
}

long MemoryHives::UnLoadKey(RegKey root, const std::string& name) {
  if (!enabled_) return winerr::kPrivilegeNotHeld;
  const auto hive = loaded_.find({root, UpperAscii(name)});
  if (hive == loaded_.end())
    return registry_.HasKey(root, name) ? winerr::kInvalidParameter : winerr::kFileNotFound;
  if (registry_.OpenHandlesAt(root, name) > 0) return winerr::kAccessDenied;

  RegKey key = 0;
  if (const long result = registry_.OpenKey(root, name, KeyAccess::kAll, &key);
      result != winerr::kSuccess)
    return result;
  std::string text;
  {
    const KeyHandle owned(registry_, key);
    text = SubtreeText(key);
  }
  // Windows writes the hive's changes to its file as it goes; a file that cannot take them
  // loses them, and the key goes all the same.
  (void)files_.StoreFile(hive->second, text);
  RegTextEdit remove;
  remove.action = RegTextEdit::Action::kDeleteKey;
  remove.root = root;
  remove.path = name;
  registry_.ImportEdits({remove});
  loaded_.erase(hive);
  return winerr::kSuccess;
}

}  // namespace zeb
