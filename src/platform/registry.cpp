#include "platform/registry.h"

#include <algorithm>
#include <utility>

#include "platform/text.h"
#include "platform/wide_case.h"

namespace zeb {
namespace {

constexpr char kGetFailed[] = "Failed to get data for '%s'";
constexpr char kSetFailed[] = "Failed to set data for '%s'";
constexpr char kWrongType[] = "Invalid data type for '%s'";

[[noreturn]] void Raise(const char* pattern, const std::string& name) {
  throw RegistryError(SubstituteArgument(pattern, name));
}

bool IsText(std::uint32_t type) {
  return type == regtype::kString || type == regtype::kExpandString;
}

std::vector<std::uint8_t> ZeroEnded(const std::string& text) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

// Key names without empty parts, each behind one backslash; the root is "".
std::string NormalizedPath(const std::string& path) {
  std::string out;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    if (end > start) out.append("\\").append(path, start, end - start);
    start = end + 1;
  }
  return out;
}

// As the Registry decides it: "\\Soft\\\xC9t\xE9" and "\\Soft\\\xE9t\xE9" are one key, and a copy of
// it into "\\Soft\\\xE9t\xE9\\Sub" would copy into itself without end.
bool IsSameOrBelow(const std::string& path, const std::string& ancestor) {
  return SameFoldedName(path, ancestor) || IsFoldedPathBelow(path, ancestor);
}

KeyHandle Open(RegistryApi& api, RegKey parent, const std::string& subKey) {
  RegKey key = 0;
  if (api.OpenKey(parent, subKey, KeyAccess::kAll, &key) != winerr::kSuccess) return {};
  return KeyHandle(api, key);
}

KeyHandle Create(RegistryApi& api, RegKey parent, const std::string& subKey) {
  RegKey key = 0;
  if (api.CreateKey(parent, subKey, &key) != winerr::kSuccess) return {};
  return KeyHandle(api, key);
}

// True only when every value and every subkey arrived in `to`.
bool CopyTree(RegistryApi& api, RegKey from, RegKey to) {
  bool copied = true;
  const bool enumerated = ForEachValue(api, from, true, [&](const RegValue& value) {
    copied = copied && api.SetValue(to, value.name, value.type, value.data) == winerr::kSuccess;
  });
  bool listed = false;
  for (const std::string& name : ListSubKeys(api, from, &listed)) {
    if (!copied) break;
    const KeyHandle source = Open(api, from, name);
    const KeyHandle target = source ? Create(api, to, name) : KeyHandle();
    copied = target && CopyTree(api, source.get(), target.get());
  }
  return copied && enumerated && listed;
}

}  // namespace

KeyHandle::KeyHandle(KeyHandle&& other) noexcept
    : api_(std::exchange(other.api_, nullptr)), key_(std::exchange(other.key_, 0)) {}

KeyHandle& KeyHandle::operator=(KeyHandle&& other) noexcept {
  if (this != &other) {
    reset();
    api_ = std::exchange(other.api_, nullptr);
    key_ = std::exchange(other.key_, 0);
  }
  return *this;
}

KeyHandle::~KeyHandle() { reset(); }

void KeyHandle::reset() {
  if (api_) api_->CloseKey(key_);
  api_ = nullptr;
  key_ = 0;
}

std::vector<std::string> ListSubKeys(RegistryApi& api, RegKey key, bool* complete) {
  std::vector<std::string> names;
  KeyInfo info;
  const bool known = api.QueryInfoKey(key, &info) == winerr::kSuccess;
  for (std::uint32_t i = 0; known && i < info.subKeys; ++i) {
    std::string name;
    if (api.EnumKey(key, i, &name) != winerr::kSuccess) break;
    names.push_back(std::move(name));
  }
  if (complete) *complete = known && names.size() == info.subKeys;
  return names;
}

bool ForEachValue(RegistryApi& api, RegKey key, bool wantData,
                  const std::function<void(const RegValue&)>& visit) {
  KeyInfo info;
  if (api.QueryInfoKey(key, &info) != winerr::kSuccess) return false;
  RegValue value;
  for (std::uint32_t i = 0; i < info.values; ++i) {
    if (api.EnumValue(key, i, wantData, &value) != winerr::kSuccess) return false;
    visit(value);
  }
  return true;
}

bool DeleteTree(RegistryApi& api, RegKey parent, const std::string& subKey) {
  {
    KeyHandle key = Open(api, parent, subKey);
    if (!key) return false;
    for (const std::string& name : ListSubKeys(api, key.get())) DeleteTree(api, key.get(), name);
  }
  return api.DeleteKey(parent, subKey) == winerr::kSuccess;
}

Registry::Registry(RegistryApi& api, RegKey root) : api_(api), root_(root) {}

void Registry::SetRootKey(RegKey root) {
  CloseKey();
  root_ = root;
}

Registry::Target Registry::Resolve(const std::string& path) const {
  if (path.empty()) return {root_, ""};
  if (path[0] == '\\') return {root_, path.substr(1)};
  return {current_ ? current_.get() : root_, path};
}

std::string Registry::FullPath(const std::string& path) const {
  if (!path.empty() && path[0] == '\\') return NormalizedPath(path);
  if (path.empty()) return "";
  return NormalizedPath((current_ ? currentPath_ : std::string()) + "\\" + path);
}

bool Registry::OpenKey(const std::string& path, bool canCreate) {
  const Target target = Resolve(path);
  KeyHandle opened =
      canCreate ? Create(api_, target.base, target.subKey) : Open(api_, target.base, target.subKey);
  if (!opened) return false;
  currentPath_ = FullPath(path);
  current_ = std::move(opened);  // the previous key closes only now: `path` may count from it
  return true;
}

bool Registry::KeyExists(const std::string& path) {
  const Target target = Resolve(path);
  return static_cast<bool>(Open(api_, target.base, target.subKey));
}

void Registry::CloseKey() {
  current_.reset();
  currentPath_.clear();
}

std::vector<std::string> Registry::GetKeyNames() {
  if (!current_) return {};
  return ListSubKeys(api_, current_.get());
}

std::vector<std::string> Registry::GetValueNames() {
  std::vector<std::string> names;
  if (current_)
    ForEachValue(api_, current_.get(), false, [&](const RegValue& v) { names.push_back(v.name); });
  return names;
}

bool Registry::HasSubKeys() {
  KeyInfo info;
  return current_ && api_.QueryInfoKey(current_.get(), &info) == winerr::kSuccess &&
         info.subKeys > 0;
}

long Registry::QueryCurrent(const std::string& name, std::uint32_t* type,
                            std::vector<std::uint8_t>* data) {
  if (!current_) return winerr::kInvalidHandle;
  return api_.QueryValue(current_.get(), name, type, data);
}

bool Registry::ValueExists(const std::string& name) {
  std::uint32_t type = 0;
  return QueryCurrent(name, &type, nullptr) == winerr::kSuccess;
}

ValueKind Registry::GetDataType(const std::string& name) {
  std::uint32_t type = 0;
  if (QueryCurrent(name, &type, nullptr) != winerr::kSuccess) return ValueKind::kOther;
  switch (type) {
    case regtype::kString:
      return ValueKind::kString;
    case regtype::kExpandString:
      return ValueKind::kExpandString;
    case regtype::kDword:
      return ValueKind::kInteger;
    case regtype::kBinary:
      return ValueKind::kBinary;
    default:
      return ValueKind::kOther;
  }
}

std::string Registry::ReadString(const std::string& name) {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  const long result = QueryCurrent(name, &type, &data);
  if (result == winerr::kFileNotFound) return "";
  if (result != winerr::kSuccess) Raise(kGetFailed, name);
  if (!IsText(type)) Raise(kWrongType, name);
  std::string text(data.begin(), data.end());
  return text.substr(0, text.find('\0'));
}

std::int32_t Registry::ReadInteger(const std::string& name) {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  if (QueryCurrent(name, &type, &data) != winerr::kSuccess) Raise(kGetFailed, name);
  if (type != regtype::kDword || data.size() != 4) Raise(kWrongType, name);
  return static_cast<std::int32_t>(data[0] | data[1] << 8 | data[2] << 16 |
                                   static_cast<std::uint32_t>(data[3]) << 24);
}

std::vector<std::uint8_t> Registry::ReadBinaryData(const std::string& name,
                                                   std::size_t bufferSize) {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  if (QueryCurrent(name, &type, &data) != winerr::kSuccess) Raise(kGetFailed, name);
  if (type != regtype::kBinary || data.size() > bufferSize) Raise(kWrongType, name);
  return data;
}

void Registry::WriteValue(const std::string& name, std::uint32_t type,
                          const std::vector<std::uint8_t>& data) {
  if (!current_ || api_.SetValue(current_.get(), name, type, data) != winerr::kSuccess)
    Raise(kSetFailed, name);
}

void Registry::WriteString(const std::string& name, const std::string& value) {
  WriteValue(name, regtype::kString, ZeroEnded(value));
}

void Registry::WriteExpandString(const std::string& name, const std::string& value) {
  WriteValue(name, regtype::kExpandString, ZeroEnded(value));
}

void Registry::WriteInteger(const std::string& name, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  WriteValue(name, regtype::kDword,
             {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
              static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)});
}

void Registry::WriteBinaryData(const std::string& name, const std::vector<std::uint8_t>& data) {
  WriteValue(name, regtype::kBinary, data);
}

bool Registry::DeleteValue(const std::string& name) {
  return current_ && api_.DeleteValue(current_.get(), name) == winerr::kSuccess;
}

bool Registry::DeleteKey(const std::string& path) {
  if (FullPath(path).empty()) return false;
  const Target target = Resolve(path);
  return DeleteTree(api_, target.base, target.subKey);
}

// The shallowest key along `fullPath` that does not exist yet: all that creating the path adds.
std::string Registry::FirstMissingKey(const std::string& fullPath) {
  std::size_t end = 0;
  do {
    end = fullPath.find('\\', end + 1);
    const std::string prefix = fullPath.substr(0, end);
    if (!KeyExists(prefix)) return prefix;
  } while (end != std::string::npos);
  return fullPath;
}

void Registry::MoveKey(const std::string& from, const std::string& to, bool deleteSource) {
  if (!KeyExists(from) || KeyExists(to) || IsSameOrBelow(FullPath(to), FullPath(from))) return;
  const Target source = Resolve(from);
  const Target target = Resolve(to);
  const std::string added = FirstMissingKey(FullPath(to));
  bool copied = false;
  {
    KeyHandle sourceKey = Open(api_, source.base, source.subKey);
    KeyHandle targetKey = Create(api_, target.base, target.subKey);
    if (!targetKey) return;
    copied = sourceKey && CopyTree(api_, sourceKey.get(), targetKey.get());
  }
  if (!copied)
    DeleteTree(api_, root_, added.substr(1));
  else if (deleteSource)
    DeleteTree(api_, source.base, source.subKey);
}

}  // namespace zeb
