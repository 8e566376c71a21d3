#include "changes/undo_image.h"

#include <algorithm>
#include <map>

#include "changes/key_tree.h"
#include "platform/registry.h"
#include "platform/wide_case.h"

namespace zeb {
namespace {

std::string SubKeyOf(const std::string& keyPath) {
  const std::size_t start = keyPath.find_first_not_of('\\');
  return start == std::string::npos ? std::string() : keyPath.substr(start);
}

// The key itself when it opens, nothing when it does not exist, and the error otherwise.
long OpenKey(RegistryApi& api, RegKey parent, const std::string& subKey, KeyHandle* out) {
  RegKey key = 0;
  const long result = api.OpenKey(parent, subKey, KeyAccess::kAll, &key);
  if (result == winerr::kSuccess) *out = KeyHandle(api, key);
  return result;
}

std::optional<RegistryKeyImage> CaptureOpenKey(RegistryApi& api, RegKey key) {
  RegistryKeyImage image;
  image.exists = true;
  if (!ForEachValue(api, key, true, [&](const RegValue& value) { image.values.push_back(value); }))
    return std::nullopt;
  bool complete = false;
  const std::vector<std::string> names = ListSubKeys(api, key, &complete);
  if (!complete) return std::nullopt;
  for (const std::string& name : names) {
    KeyHandle subKey;
    if (OpenKey(api, key, name, &subKey) != winerr::kSuccess) return std::nullopt;
    std::optional<RegistryKeyImage> below = CaptureOpenKey(api, subKey.get());
    if (!below) return std::nullopt;
    image.subKeys.push_back({name, std::move(*below)});
  }
  return image;
}

bool SameValue(const RegValue& a, const RegValue& b) {
  return a.name == b.name && a.type == b.type && a.data == b.data;
}

std::vector<std::string> NamesOf(const std::vector<RegValue>& values) {
  std::vector<std::string> names;
  for (const RegValue& value : values) names.push_back(value.name);
  return names;
}

// Values come back in the image's order where the Registry keeps creation order (Windows), so
// an export after a rollback reads as before: when the names left in the key are not already
// in that order, every value is written afresh.
bool RestoreValues(RegistryApi& api, RegKey key, const std::vector<RegValue>& wanted) {
  std::vector<RegValue> present;
  if (!ForEachValue(api, key, true, [&](const RegValue& value) { present.push_back(value); }))
    return false;
  bool ok = true;
  const std::vector<std::string> wantedNames = NamesOf(wanted);
  std::vector<RegValue> kept;
  for (const RegValue& value : present) {
    // Exact names: a value that differs only in case goes, so the image's spelling returns.
    if (std::find(wantedNames.begin(), wantedNames.end(), value.name) != wantedNames.end())
      kept.push_back(value);
    else
      ok = api.DeleteValue(key, value.name) == winerr::kSuccess && ok;
  }
  std::vector<std::string> keptNames = NamesOf(kept);
  std::vector<std::string> wantedKept;
  for (const std::string& name : wantedNames)
    if (std::find(keptNames.begin(), keptNames.end(), name) != keptNames.end())
      wantedKept.push_back(name);
  if (keptNames != wantedKept) {
    for (const RegValue& value : kept) ok = api.DeleteValue(key, value.name) == winerr::kSuccess && ok;
    kept.clear();
  }
  for (const RegValue& value : wanted) {
    const auto same = std::find_if(kept.begin(), kept.end(),
                                   [&](const RegValue& k) { return SameValue(k, value); });
    if (same != kept.end()) continue;
    ok = api.SetValue(key, value.name, value.type, value.data) == winerr::kSuccess && ok;
  }
  return ok;
}

bool RestoreOpenKey(RegistryApi& api, RegKey key, const RegistryKeyImage& image) {
  bool ok = RestoreValues(api, key, image.values);
  bool listed = false;
  for (const std::string& name : ListSubKeys(api, key, &listed)) {
    const bool wanted = std::any_of(image.subKeys.begin(), image.subKeys.end(),
                                    [&](const RegistryKeyImage::SubKey& s) {
                                      return s.name == name && s.image.exists;
                                    });
    if (!wanted) ok = DeleteTree(api, key, name) && ok;
  }
  ok = listed && ok;
  for (const RegistryKeyImage::SubKey& subKey : image.subKeys) {
    if (!subKey.image.exists) continue;
    RegKey created = 0;
    if (api.CreateKey(key, subKey.name, &created) != winerr::kSuccess) {
      ok = false;
      continue;
    }
    const KeyHandle below(api, created);
    ok = RestoreOpenKey(api, below.get(), subKey.image) && ok;
  }
  return ok;
}

template <typename Item, typename Key>
std::map<Key, const Item*> ByName(const std::vector<Item>& items, Key Item::*name) {
  std::map<Key, const Item*> map;
  for (const Item& item : items) map[item.*name] = &item;
  return map;
}

}  // namespace

bool operator==(const RegistryValueImage& a, const RegistryValueImage& b) {
  if (!a.exists || !b.exists) return a.exists == b.exists;
  return a.type == b.type && a.data == b.data;
}
bool operator!=(const RegistryValueImage& a, const RegistryValueImage& b) { return !(a == b); }

bool operator==(const RegistryKeyImage& a, const RegistryKeyImage& b) {
  if (!a.exists || !b.exists) return a.exists == b.exists;
  if (a.values.size() != b.values.size() || a.subKeys.size() != b.subKeys.size()) return false;
  const auto valuesA = ByName(a.values, &RegValue::name);
  const auto valuesB = ByName(b.values, &RegValue::name);
  if (valuesA.size() != valuesB.size()) return false;
  for (const auto& [name, value] : valuesA) {
    const auto other = valuesB.find(name);
    if (other == valuesB.end() || !SameValue(*value, *other->second)) return false;
  }
  const auto keysA = ByName(a.subKeys, &RegistryKeyImage::SubKey::name);
  const auto keysB = ByName(b.subKeys, &RegistryKeyImage::SubKey::name);
  if (keysA.size() != keysB.size()) return false;
  for (const auto& [name, subKey] : keysA) {
    const auto other = keysB.find(name);
    if (other == keysB.end() || subKey->image != other->second->image) return false;
  }
  return true;
}
bool operator!=(const RegistryKeyImage& a, const RegistryKeyImage& b) { return !(a == b); }

bool operator==(const FileImage& a, const FileImage& b) {
  if (!a.exists || !b.exists) return a.exists == b.exists;
  return a.bytes == b.bytes;
}
bool operator!=(const FileImage& a, const FileImage& b) { return !(a == b); }

std::optional<RegistryValueImage> CaptureValue(RegistryApi& api, RegKey root,
                                               const std::string& keyPath,
                                               const std::string& name) {
  KeyHandle key;
  const long opened = OpenKey(api, root, SubKeyOf(keyPath), &key);
  if (opened == winerr::kFileNotFound) return RegistryValueImage{};
  if (opened != winerr::kSuccess) return std::nullopt;
  RegistryValueImage image;
  const long queried = api.QueryValue(key.get(), name, &image.type, &image.data);
  if (queried == winerr::kFileNotFound) return RegistryValueImage{};
  if (queried != winerr::kSuccess) return std::nullopt;
  image.exists = true;
  return image;
}

std::optional<RegistryKeyImage> CaptureKey(RegistryApi& api, RegKey root,
                                           const std::string& keyPath) {
  KeyHandle key;
  const long opened = OpenKey(api, root, SubKeyOf(keyPath), &key);
  if (opened == winerr::kFileNotFound) return RegistryKeyImage{};
  if (opened != winerr::kSuccess) return std::nullopt;
  return CaptureOpenKey(api, key.get());
}

std::optional<FileImage> CaptureFile(FileBytesApi& files, const std::string& path) {
  FileImage image;
  switch (files.ReadAll(path, &image.bytes)) {
    case FileReadStatus::kRead:
      image.exists = true;
      return image;
    case FileReadStatus::kNotFound:
      return FileImage{};
    case FileReadStatus::kFailed:
      break;
  }
  return std::nullopt;
}

std::optional<std::string> TopmostMissingKey(RegistryApi& api, RegKey root,
                                             const std::string& keyPath) {
  const std::string subKey = SubKeyOf(keyPath);
  const std::string lead = keyPath.substr(0, keyPath.size() - subKey.size());
  for (std::size_t end = 0; end < subKey.size();) {
    end = std::min(subKey.find('\\', end + 1), subKey.size());
    KeyHandle key;
    const long opened = OpenKey(api, root, subKey.substr(0, end), &key);
    if (opened == winerr::kFileNotFound) return lead + subKey.substr(0, end);
    if (opened != winerr::kSuccess) return std::nullopt;
  }
  return std::nullopt;
}

bool RestoreValue(RegistryApi& api, RegKey root, const std::string& keyPath,
                  const std::string& name, const RegistryValueImage& image) {
  if (image.exists) {
    RegKey created = 0;
    if (api.CreateKey(root, SubKeyOf(keyPath), &created) != winerr::kSuccess) return false;
    const KeyHandle key(api, created);
    return api.SetValue(key.get(), name, image.type, image.data) == winerr::kSuccess;
  }
  KeyHandle key;
  const long opened = OpenKey(api, root, SubKeyOf(keyPath), &key);
  if (opened == winerr::kFileNotFound) return true;
  if (opened != winerr::kSuccess) return false;
  const long deleted = api.DeleteValue(key.get(), name);
  return deleted == winerr::kSuccess || deleted == winerr::kFileNotFound;
}

namespace {

// The key's own name as its parent lists it; nothing for a root or a key not found.
std::optional<std::string> ListedName(RegistryApi& api, RegKey root, const std::string& keyPath) {
  const std::string subKey = SubKeyOf(NormalizedKeyPath(keyPath));
  if (subKey.empty()) return std::nullopt;
  const std::size_t cut = subKey.rfind('\\');
  const std::string parentPath = cut == std::string::npos ? std::string() : subKey.substr(0, cut);
  const std::string name = cut == std::string::npos ? subKey : subKey.substr(cut + 1);
  KeyHandle parent;
  if (OpenKey(api, root, parentPath, &parent) != winerr::kSuccess) return std::nullopt;
  for (const std::string& listed : ListSubKeys(api, parent.get()))
    if (SameFoldedName(listed, name)) return listed;
  return std::nullopt;
}

std::string LastPart(const std::string& keyPath) {
  const std::string normalized = NormalizedKeyPath(keyPath);
  return normalized.substr(normalized.rfind('\\') + 1);
}

// A case-only rename back: the key goes aside, then to the path's spelling.
bool Respell(RegistryApi& api, RegKey root, const std::string& keyPath) {
  const std::string aside = FreeKeyPathBeside(api, root, keyPath);
  if (aside.empty() || !MoveKeyWhole(api, root, keyPath, aside, true)) return false;
  return MoveKeyWhole(api, root, aside, NormalizedKeyPath(keyPath), true);
}

}  // namespace

bool KeySpeltAsPath(RegistryApi& api, RegKey root, const std::string& keyPath) {
  const std::optional<std::string> listed = ListedName(api, root, keyPath);
  return !listed || *listed == LastPart(keyPath);
}

bool RestoreKey(RegistryApi& api, RegKey root, const std::string& keyPath,
                const RegistryKeyImage& image) {
  const std::string subKey = SubKeyOf(keyPath);
  if (image.exists && !KeySpeltAsPath(api, root, keyPath) && !Respell(api, root, keyPath))
    return false;
  if (!image.exists) {
    KeyHandle key;
    const long opened = OpenKey(api, root, subKey, &key);
    if (opened == winerr::kFileNotFound) return true;
    key.reset();
    // A root key is never missing: such an image cannot be right.
    return opened == winerr::kSuccess && !subKey.empty() && DeleteTree(api, root, subKey);
  }
  RegKey created = 0;
  if (api.CreateKey(root, subKey, &created) != winerr::kSuccess) return false;
  const KeyHandle key(api, created);
  return RestoreOpenKey(api, key.get(), image);
}

bool RestoreFile(FileBytesApi& files, const std::string& path, const FileImage& image) {
  return image.exists ? files.WriteAll(path, image.bytes) : files.Remove(path);
}

}  // namespace zeb
