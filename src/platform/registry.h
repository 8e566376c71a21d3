#pragma once
// The program's one Registry layer: a root key and at most one open current key.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace zeb {

// Raised with the exact texts "Failed to get data for '%s'", "Failed to set data for '%s'"
// and "Invalid data type for '%s'".
class RegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class ValueKind { kString, kExpandString, kInteger, kBinary, kOther };

// Owns one open key handle.
class KeyHandle {
 public:
  KeyHandle() = default;
  KeyHandle(RegistryApi& api, RegKey key) : api_(&api), key_(key) {}
  KeyHandle(KeyHandle&& other) noexcept;
  KeyHandle& operator=(KeyHandle&& other) noexcept;
  KeyHandle(const KeyHandle&) = delete;
  KeyHandle& operator=(const KeyHandle&) = delete;
  ~KeyHandle();
  RegKey get() const { return key_; }
  explicit operator bool() const { return api_ != nullptr; }
  void reset();

 private:
  RegistryApi* api_ = nullptr;
  RegKey key_ = 0;
};

// Enumerations bounded by the counts RegQueryInfoKeyA gives and ended at the first error:
// some keys answer every index with an error, and a loop that skips errors never ends.
// `complete` (and ForEachValue's result) tells whether every counted entry was seen, which
// a copy must know before it deletes its source.
std::vector<std::string> ListSubKeys(RegistryApi& api, RegKey key, bool* complete = nullptr);
bool ForEachValue(RegistryApi& api, RegKey key, bool wantData,
                  const std::function<void(const RegValue&)>& visit);
// Deletes `subKey` of `parent` with everything below it, deepest keys first (RegDeleteKeyA
// removes only a key without subkeys). False when the key cannot be opened or deleted.
bool DeleteTree(RegistryApi& api, RegKey parent, const std::string& subKey);

class Registry {
 public:
  explicit Registry(RegistryApi& api, RegKey root = hkey::kCurrentUser);

  RegistryApi& api() { return api_; }
  void SetRootKey(RegKey root);  // closes the current key
  RegKey RootKey() const { return root_; }

  // A path beginning with "\" counts from the root key, any other from the current key (or
  // the root when none is open); the empty path is the root key itself. Always asks for full
  // access. On failure nothing changes.
  bool OpenKey(const std::string& path, bool canCreate);
  bool KeyExists(const std::string& path);  // opens with full access, like OpenKey
  void CloseKey();
  bool HasCurrentKey() const { return static_cast<bool>(current_); }
  RegKey CurrentKey() const { return current_.get(); }

  // Of the current key; empty without one.
  std::vector<std::string> GetKeyNames();
  std::vector<std::string> GetValueNames();
  bool HasSubKeys();
  bool ValueExists(const std::string& name);
  ValueKind GetDataType(const std::string& name);  // kOther for a missing value

  // A value that cannot be read raises "Failed to get data for '%s'", one of another type
  // "Invalid data type for '%s'". ReadString gives the text up to the first zero of a REG_SZ
  // or REG_EXPAND_SZ, and empty text for a missing value.
  std::string ReadString(const std::string& name);
  std::int32_t ReadInteger(const std::string& name);
  // Raises "Invalid data type for '%s'" for another type or more than bufferSize bytes.
  std::vector<std::uint8_t> ReadBinaryData(const std::string& name, std::size_t bufferSize);

  void WriteString(const std::string& name, const std::string& value);  // always REG_SZ
  // REG_EXPAND_SZ, for text such as "%SystemRoot%\system32" that must go on expanding.
  void WriteExpandString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, std::int32_t value);
  void WriteBinaryData(const std::string& name, const std::vector<std::uint8_t>& data);

  bool DeleteValue(const std::string& name);
  // Deletes the key with its whole subtree; never the root key itself.
  bool DeleteKey(const std::string& path);
  // Only when `from` exists and `to` does not (and is neither `from` itself nor below it, names
  // compared as the Registry compares them, beyond ASCII too): creates `to`, copies
  // every value with its type and every subkey, then (when deleteSource) deletes `from` with
  // its subtree. A copy that cannot be completed is removed again and `from` stays.
  void MoveKey(const std::string& from, const std::string& to, bool deleteSource = true);

 private:
  struct Target {
    RegKey base;
    std::string subKey;
  };
  Target Resolve(const std::string& path) const;
  std::string FullPath(const std::string& path) const;
  std::string FirstMissingKey(const std::string& fullPath);
  long QueryCurrent(const std::string& name, std::uint32_t* type, std::vector<std::uint8_t>* data);
  void WriteValue(const std::string& name, std::uint32_t type,
                  const std::vector<std::uint8_t>& data);

  RegistryApi& api_;
  RegKey root_;
  KeyHandle current_;
  std::string currentPath_;  // from the root, for telling whether one key lies below another
};

}  // namespace zeb
