#include "support/alias_directory.h"

#include "directory/names.h"
#include "platform/text.h"

namespace zeb::testing {

void AliasDirectory::AddObject(const std::string& dotted) { entries_[Key(dotted)] = {dotted, ""}; }

void AliasDirectory::AddAlias(const std::string& alias, const std::string& target) {
  entries_[Key(alias)] = {alias, target};
}

std::string AliasDirectory::Key(const std::string& dotted) {
  std::string key;
  std::size_t start = 0;
  for (std::size_t dot = dotted.find('.'); ; dot = dotted.find('.', start)) {
    if (start > 0) key += '.';
    key += StripNameType(dotted.substr(start, dot == std::string::npos ? dot : dot - start));
    if (dot == std::string::npos) return UpperAscii(key);
    start = dot + 1;
  }
}

const AliasDirectory::Entry* AliasDirectory::Find(const std::string& dotted) const {
  const auto it = entries_.find(Key(dotted));
  return it == entries_.end() ? nullptr : &it->second;
}

namespace {

std::vector<std::string> RootFirst(const std::string& dotted) {
  std::vector<std::string> components;
  const std::string path = DottedToPath(dotted);
  for (std::size_t at = 0; at < path.size();) {
    const std::size_t next = path.find('\\', at + 1);
    components.push_back(path.substr(at + 1, next == std::string::npos ? next : next - at - 1));
    at = next == std::string::npos ? path.size() : next;
  }
  return components;
}

}  // namespace

bool AliasDirectory::ListAliases(std::vector<DirectoryAlias>* aliases) {
  aliases->clear();
  for (const auto& [key, entry] : entries_)
    if (!entry.target.empty()) aliases->push_back({RootFirst(entry.name), RootFirst(entry.target)});
  return true;
}

bool AliasDirectory::FindTree(const std::string& treeName, std::string* userLeafName) {
  if (!EqualsIgnoreCase(treeName, tree_)) return false;
  *userLeafName = "Bob";
  return true;
}

// The control takes a full name with or without its "VRX:" provider prefix.
bool AliasDirectory::FindEntry(const std::string& fullName) {
  findEntryCalls.push_back(fullName);
  std::string_view name = fullName;
  if (StartsWithIgnoreCase(name, "VRX:")) name.remove_prefix(4);
  if (!StartsWithIgnoreCase(name, "\\\\" + tree_)) return false;
  name.remove_prefix(2 + tree_.size());
  if (name.empty()) return true;  // the tree itself
  if (name[0] != '\\') return false;
  return Find(FullNameToDotted("VRX:\\\\" + tree_ + std::string(name))) != nullptr;
}

std::int32_t AliasDirectory::DXVRCreateContextHandle(DirContextHandle* context) {
  *context = 1;
  return 0;
}

std::int32_t AliasDirectory::DXVRGetContext(DirContextHandle, int, std::uint32_t* flags) {
  *flags = kTypelessNamesFlag;
  return 0;
}

std::int32_t AliasDirectory::DXVRSetContextName(DirContextHandle, const std::string& nameContext) {
  nameContext_ = nameContext;
  return 0;
}

std::int32_t AliasDirectory::ReadObjectName(DirContextHandle, const std::string& leaf,
                                            std::string* objectName) {
  const std::string dotted = nameContext_.empty() ? leaf : leaf + "." + nameContext_;
  const Entry* entry = Find(dotted);
  if (entry == nullptr) return -601;  // no such entry
  *objectName = entry->target.empty() ? entry->name : entry->target;
  return 0;
}

std::int32_t AliasDirectory::DXVRCanonicalizeName(DirContextHandle, const std::string& name,
                                                  std::string* canonical) {
  const Entry* entry = Find(name);
  *canonical = entry != nullptr ? entry->name : name;
  return 0;
}

}  // namespace zeb::testing
