#include "platform/memory/memory_registry.h"

#include <algorithm>

#include "platform/memory/reg_text.h"
#include "platform/wide_case.h"

namespace zeb {
namespace {

constexpr long kBadPathname = 161;
constexpr long kKeyDeleted = 1018;
// The A functions convert a key path through a MAX_PATH buffer: longer paths fail before
// the Registry sees them. Wine allows key names of 256 characters.
constexpr std::size_t kMaxSubKeyText = 260;
constexpr std::size_t kMaxKeyName = 256;
constexpr std::size_t kMaxValueName = 16383;

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

long SplitSubKey(const std::string& subKey, std::vector<std::string>* parts) {
  if (subKey.size() > kMaxSubKeyText) return winerr::kMoreData;
  if (!subKey.empty() && subKey[0] == '\\') return kBadPathname;
  *parts = SplitPath(subKey);
  for (const std::string& part : *parts)
    if (part.size() > kMaxKeyName) return winerr::kInvalidParameter;
  return winerr::kSuccess;
}

bool IsTextType(std::uint32_t type) {
  return type == regtype::kString || type == regtype::kExpandString ||
         type == regtype::kMultiString;
}

struct StoredValue {
  std::u16string folded;
  RegValue value;
};

}  // namespace

// Handles keep their key alive after it is deleted, hence the shared ownership.
struct MemoryRegistry::Node : std::enable_shared_from_this<Node> {
  std::string name;
  std::u16string folded;
  Node* parent = nullptr;  // null for a root key and for a deleted key
  RegKey root = 0;         // the predefined handle, on root keys only
  bool deleted = false;
  std::vector<std::shared_ptr<Node>> subKeys;  // sorted by `folded`: the enumeration order
  std::vector<StoredValue> values;             // likewise

  auto SubKeyPosition(const std::u16string& key) {
    return std::lower_bound(
        subKeys.begin(), subKeys.end(), key,
        [](const auto& node, const std::u16string& k) { return node->folded < k; });
  }
  auto ValuePosition(const std::u16string& key) {
    return std::lower_bound(
        values.begin(), values.end(), key,
        [](const StoredValue& v, const std::u16string& k) { return v.folded < k; });
  }

  Node* Child(const std::string& childName) {
    const std::u16string key = FoldedName(childName);
    const auto it = SubKeyPosition(key);
    return it != subKeys.end() && (*it)->folded == key ? it->get() : nullptr;
  }

  Node* AddChild(const std::string& childName) {
    auto child = std::make_shared<Node>();
    child->name = childName;
    child->folded = FoldedName(childName);
    child->parent = this;
    return subKeys.insert(SubKeyPosition(child->folded), child)->get();
  }

  StoredValue* Value(const std::string& valueName) {
    const std::u16string key = FoldedName(valueName);
    const auto it = ValuePosition(key);
    return it != values.end() && it->folded == key ? &*it : nullptr;
  }

  // A value written again keeps the name it was first written with.
  void PutValue(const RegValue& value) {
    if (StoredValue* existing = Value(value.name)) {
      existing->value.type = value.type;
      existing->value.data = value.data;
      return;
    }
    StoredValue stored{FoldedName(value.name), value};
    values.insert(ValuePosition(stored.folded), std::move(stored));
  }

  bool EraseValue(const std::string& valueName) {
    const std::u16string key = FoldedName(valueName);
    const auto it = ValuePosition(key);
    if (it == values.end() || it->folded != key) return false;
    values.erase(it);
    return true;
  }

  // Detaches the key from its parent; open handles to it and below then see a deleted key.
  void Remove() {
    const std::vector<std::shared_ptr<Node>> children = std::move(subKeys);
    subKeys.clear();
    for (const auto& child : children) {
      child->parent = nullptr;
      child->Remove();
    }
    deleted = true;
    Node* const from = parent;
    parent = nullptr;
    // Last: the parent's entry may be all that keeps this node alive.
    if (from) from->subKeys.erase(from->SubKeyPosition(folded));
  }
};

MemoryRegistry::MemoryRegistry() {
  for (const RegKey root : {hkey::kClassesRoot, hkey::kCurrentUser, hkey::kLocalMachine,
                            hkey::kUsers, hkey::kCurrentConfig}) {
    auto node = std::make_shared<Node>();
    node->root = root;
    roots_[root] = node;
  }
}

MemoryRegistry::~MemoryRegistry() = default;

long MemoryRegistry::Lookup(RegKey key, Node** node, KeyAccess* access) const {
  KeyAccess granted = KeyAccess::kAll;
  if (const auto root = roots_.find(key); root != roots_.end()) {
    *node = root->second.get();
  } else if (const auto handle = handles_.find(key); handle != handles_.end()) {
    *node = handle->second.node.get();
    granted = handle->second.access;
  } else {
    return winerr::kInvalidHandle;
  }
  if (access) *access = granted;
  return (*node)->deleted ? kKeyDeleted : winerr::kSuccess;
}

long MemoryRegistry::Locate(RegKey parent, const std::string& subKey, Walked* walked) const {
  std::vector<std::string> parts;
  long result = Lookup(parent, &walked->deepest);
  if (result == winerr::kSuccess) result = SplitSubKey(subKey, &parts);
  if (result != winerr::kSuccess) return result;
  std::size_t i = 0;
  for (; i < parts.size(); ++i) {
    Node* child = walked->deepest->Child(parts[i]);
    if (!child) break;
    walked->deepest = child;
  }
  walked->missing.assign(parts.begin() + static_cast<std::ptrdiff_t>(i), parts.end());
  return winerr::kSuccess;
}

MemoryRegistry::Place MemoryRegistry::PlaceOf(const Node* node,
                                              const std::vector<std::string>& below) {
  std::u16string path;
  for (auto it = below.rbegin(); it != below.rend(); ++it)
    path = u"\\" + FoldedName(*it) + path;
  for (; node->parent; node = node->parent) path = u"\\" + node->folded + path;
  return {node->root, path};
}

// Cheap when no test asked for failures, which is what a walk over a large tree meets.
bool MemoryRegistry::Marked(const std::set<Place>& places, const Node* node,
                            const std::vector<std::string>& below) {
  return !places.empty() && places.count(PlaceOf(node, below)) > 0;
}

void MemoryRegistry::Mark(std::set<Place>* places, RegKey root, const std::string& path) {
  std::u16string folded;
  for (const std::string& part : SplitPath(path)) folded += u"\\" + FoldedName(part);
  places->insert({root, folded});
}

RegKey MemoryRegistry::NewHandle(const std::shared_ptr<Node>& node, KeyAccess access) {
  const RegKey key = nextHandle_;
  nextHandle_ += 4;
  handles_[key] = Handle{node, access};
  return key;
}

long MemoryRegistry::OpenKey(RegKey parent, const std::string& subKey, KeyAccess access,
                             RegKey* out) {
  Walked walked;
  const long result = Locate(parent, subKey, &walked);
  if (result != winerr::kSuccess) return result;
  if (!walked.missing.empty()) return winerr::kFileNotFound;
  if (Marked(refuseOpen_, walked.deepest)) return winerr::kAccessDenied;
  const bool sameRoot = subKey.empty() && roots_.count(parent) > 0;  // as Wine answers
  *out = sameRoot ? parent : NewHandle(walked.deepest->shared_from_this(), access);
  return winerr::kSuccess;
}

long MemoryRegistry::CreateKey(RegKey parent, const std::string& subKey, RegKey* out) {
  Walked walked;
  const long result = Locate(parent, subKey, &walked);
  if (result != winerr::kSuccess) return result;
  if (Marked(refuseOpen_, walked.deepest, walked.missing)) return winerr::kAccessDenied;
  if (budget_ && !walked.missing.empty()) budget_->Spend();
  Node* node = walked.deepest;
  for (const std::string& name : walked.missing) node = node->AddChild(name);
  const bool sameRoot = subKey.empty() && roots_.count(parent) > 0;
  *out = sameRoot ? parent : NewHandle(node->shared_from_this(), KeyAccess::kAll);
  return winerr::kSuccess;
}

long MemoryRegistry::CloseKey(RegKey key) {
  if (roots_.count(key)) return winerr::kSuccess;
  return handles_.erase(key) ? winerr::kSuccess : winerr::kInvalidHandle;
}

long MemoryRegistry::QueryInfoKey(RegKey key, KeyInfo* info) {
  Node* node = nullptr;
  if (const long result = Lookup(key, &node); result != winerr::kSuccess) return result;
  *info = KeyInfo{};
  info->subKeys = static_cast<std::uint32_t>(node->subKeys.size());
  info->values = static_cast<std::uint32_t>(node->values.size());
  for (const auto& child : node->subKeys)
    info->maxSubKeyLen = std::max<std::uint32_t>(info->maxSubKeyLen, child->name.size());
  for (const StoredValue& stored : node->values) {
    info->maxValueNameLen =
        std::max<std::uint32_t>(info->maxValueNameLen, stored.value.name.size());
    info->maxValueLen = std::max<std::uint32_t>(info->maxValueLen, stored.value.data.size());
  }
  return winerr::kSuccess;
}

long MemoryRegistry::EnumKey(RegKey key, std::uint32_t index, std::string* name) {
  Node* node = nullptr;
  if (const long result = Lookup(key, &node); result != winerr::kSuccess) return result;
  if (Marked(failEnumeration_, node)) return winerr::kInvalidHandle;
  if (index >= node->subKeys.size()) return winerr::kNoMoreItems;
  *name = node->subKeys[index]->name;
  return winerr::kSuccess;
}

// Values need a handle with more than KEY_ENUMERATE_SUB_KEYS, as under Wine.
long MemoryRegistry::UsableForValues(RegKey key, Node** node) const {
  KeyAccess access = KeyAccess::kAll;
  const long result = Lookup(key, node, &access);
  if (result != winerr::kSuccess) return result;
  return access == KeyAccess::kAll ? winerr::kSuccess : winerr::kAccessDenied;
}

long MemoryRegistry::EnumValue(RegKey key, std::uint32_t index, bool wantData, RegValue* value) {
  Node* node = nullptr;
  if (const long result = UsableForValues(key, &node); result != winerr::kSuccess) return result;
  if (Marked(failEnumeration_, node)) return winerr::kInvalidHandle;
  if (index >= node->values.size()) return winerr::kNoMoreItems;
  const RegValue& stored = node->values[index].value;
  value->name = stored.name;
  value->type = stored.type;
  if (wantData)
    value->data = stored.data;
  else
    value->data.clear();
  return winerr::kSuccess;
}

long MemoryRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                std::vector<std::uint8_t>* data) {
  Node* node = nullptr;
  if (const long result = UsableForValues(key, &node); result != winerr::kSuccess) return result;
  const StoredValue* stored = node->Value(name);
  if (!stored) return winerr::kFileNotFound;
  if (type) *type = stored->value.type;
  if (data) *data = stored->value.data;
  return winerr::kSuccess;
}

long MemoryRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                              const std::vector<std::uint8_t>& data) {
  if (budget_) budget_->Spend();
  Node* node = nullptr;
  if (const long result = UsableForValues(key, &node); result != winerr::kSuccess) return result;
  if (Marked(refuseWrites_, node)) return winerr::kAccessDenied;
  if (name.size() > kMaxValueName) return winerr::kInvalidParameter;
  RegValue value{name, type, data};
  // RegSetValueExA adds the terminating zero a caller left out of a text's count.
  if (IsTextType(type) && !data.empty() && data.back() != 0) value.data.push_back(0);
  node->PutValue(value);
  return winerr::kSuccess;
}

long MemoryRegistry::DeleteValue(RegKey key, const std::string& name) {
  if (budget_) budget_->Spend();
  Node* node = nullptr;
  if (const long result = UsableForValues(key, &node); result != winerr::kSuccess) return result;
  if (Marked(refuseWrites_, node)) return winerr::kAccessDenied;
  return node->EraseValue(name) ? winerr::kSuccess : winerr::kFileNotFound;
}

long MemoryRegistry::DeleteKey(RegKey parent, const std::string& subKey) {
  if (budget_) budget_->Spend();
  Walked walked;
  const long result = Locate(parent, subKey, &walked);
  if (result != winerr::kSuccess) return result;
  if (!walked.missing.empty()) return winerr::kFileNotFound;
  Node* node = walked.deepest;
  if (!node->parent || !node->subKeys.empty() || Marked(refuseOpen_, node))
    return winerr::kAccessDenied;
  node->Remove();
  return winerr::kSuccess;
}

MemoryRegistry::Node* MemoryRegistry::Find(RegKey root, const std::string& path) const {
  const auto it = roots_.find(root);
  Node* node = it == roots_.end() ? nullptr : it->second.get();
  for (const std::string& name : SplitPath(path)) {
    if (!node) break;
    node = node->Child(name);
  }
  return node;
}

MemoryRegistry::Node* MemoryRegistry::FindOrCreate(RegKey root, const std::string& path) {
  Node* node = roots_.at(root).get();
  for (const std::string& name : SplitPath(path)) {
    Node* child = node->Child(name);
    node = child ? child : node->AddChild(name);
  }
  return node;
}

void MemoryRegistry::Apply(const RegTextEdit& edit) {
  using Action = RegTextEdit::Action;
  Node* node = edit.action == Action::kCreateKey || edit.action == Action::kSetValue
                   ? FindOrCreate(edit.root, edit.path)
                   : Find(edit.root, edit.path);
  if (!node) return;
  switch (edit.action) {
    case Action::kCreateKey:
      break;
    case Action::kDeleteKey:
      node->Remove();
      break;
    case Action::kSetValue:
      node->PutValue(edit.value);
      break;
    case Action::kDeleteValue:
      node->EraseValue(edit.value.name);
      break;
  }
}

void MemoryRegistry::ImportRegText(const std::string& text) { ImportEdits(ParseRegText(text)); }

void MemoryRegistry::ImportEdits(const std::vector<RegTextEdit>& edits) {
  for (const RegTextEdit& edit : edits) Apply(edit);
}

std::size_t MemoryRegistry::OpenHandlesAt(RegKey root, const std::string& path) const {
  const Node* key = Find(root, path);
  if (!key) return 0;
  std::size_t count = 0;
  for (const auto& handle : handles_)
    for (const Node* node = handle.second.node.get(); node; node = node->parent)
      if (node == key) {
        ++count;
        break;
      }
  return count;
}

bool MemoryRegistry::HasKey(RegKey root, const std::string& path) const {
  return Find(root, path) != nullptr;
}

std::optional<RegValue> MemoryRegistry::GetValue(RegKey root, const std::string& path,
                                                 const std::string& name) const {
  Node* node = Find(root, path);
  const StoredValue* stored = node ? node->Value(name) : nullptr;
  if (!stored) return std::nullopt;
  return stored->value;
}

void MemoryRegistry::FailOpen(RegKey root, const std::string& path) {
  Mark(&refuseOpen_, root, path);
}

void MemoryRegistry::FailWrites(RegKey root, const std::string& path) {
  Mark(&refuseWrites_, root, path);
}

void MemoryRegistry::FailEnumeration(RegKey root, const std::string& path) {
  Mark(&failEnumeration_, root, path);
}

}  // namespace zeb
