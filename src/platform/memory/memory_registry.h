#pragma once
// An in-memory Registry that answers like the real one under Wine: names compare without
// case (in the code page, as Wine folds them) and keep the case first written; keys and values
// enumerate in Wine's sorted order; handles open and close; a key with subkeys cannot be
// deleted; a handle to a deleted key answers ERROR_KEY_DELETED; the A functions' length
// limits apply. Tests seed it from .reg text and can make single keys misbehave.
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/memory/write_budget.h"
#include "platform/registry_api.h"

namespace zeb {

struct RegTextEdit;

class MemoryRegistry : public RegistryApi {
 public:
  MemoryRegistry();
  ~MemoryRegistry() override;

  long OpenKey(RegKey parent, const std::string& subKey, KeyAccess access, RegKey* out) override;
  long CreateKey(RegKey parent, const std::string& subKey, RegKey* out) override;
  long CloseKey(RegKey key) override;
  long QueryInfoKey(RegKey key, KeyInfo* info) override;
  long EnumKey(RegKey key, std::uint32_t index, std::string* name) override;
  long EnumValue(RegKey key, std::uint32_t index, bool wantData, RegValue* value) override;
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                  std::vector<std::uint8_t>* data) override;
  long SetValue(RegKey key, const std::string& name, std::uint32_t type,
                const std::vector<std::uint8_t>& data) override;
  long DeleteValue(RegKey key, const std::string& name) override;
  long DeleteKey(RegKey parent, const std::string& subKey) override;

  // Test side. Paths count from the root key, with or without a leading "\".
  // Applies .reg file text; raises std::runtime_error naming the first malformed line.
  void ImportRegText(const std::string& text);
  void ImportEdits(const std::vector<RegTextEdit>& edits);
  bool HasKey(RegKey root, const std::string& path) const;
  std::optional<RegValue> GetValue(RegKey root, const std::string& path,
                                   const std::string& name) const;
  // The key refuses every open and create with ERROR_ACCESS_DENIED (and cannot be deleted).
  void FailOpen(RegKey root, const std::string& path);
  // Every SetValue and DeleteValue on the key fails with ERROR_ACCESS_DENIED.
  void FailWrites(RegKey root, const std::string& path);
  // The key opens and reports its counts, but every EnumKey and EnumValue index answers
  // ERROR_INVALID_HANDLE, like Perflib\009 in a fresh Wine prefix.
  void FailEnumeration(RegKey root, const std::string& path);
  // Every later write (a CreateKey that creates, SetValue, DeleteValue, DeleteKey) spends one
  // unit of `budget` first; null ends that.
  void UseWriteBudget(WriteBudget* budget) { budget_ = budget; }
  // Handles opened and not yet closed (predefined root keys are not counted).
  std::size_t OpenHandleCount() const { return handles_.size(); }
  // Handles open to that key or to a key below it.
  std::size_t OpenHandlesAt(RegKey root, const std::string& path) const;

 private:
  struct Node;
  struct Handle {
    std::shared_ptr<Node> node;
    KeyAccess access;
  };
  // A key's place for failure injection: its root and its folded path.
  using Place = std::pair<RegKey, std::u16string>;

  // The deepest existing key along a path and the names still missing below it.
  struct Walked {
    Node* deepest = nullptr;
    std::vector<std::string> missing;
  };

  long Lookup(RegKey key, Node** node, KeyAccess* access = nullptr) const;
  long Locate(RegKey parent, const std::string& subKey, Walked* walked) const;
  long UsableForValues(RegKey key, Node** node) const;
  Node* Find(RegKey root, const std::string& path) const;
  Node* FindOrCreate(RegKey root, const std::string& path);
  RegKey NewHandle(const std::shared_ptr<Node>& node, KeyAccess access);
  static Place PlaceOf(const Node* node, const std::vector<std::string>& below = {});
  static bool Marked(const std::set<Place>& places, const Node* node,
                     const std::vector<std::string>& below = {});
  void Mark(std::set<Place>* places, RegKey root, const std::string& path);
  void Apply(const RegTextEdit& edit);

  std::map<RegKey, std::shared_ptr<Node>> roots_;
  std::map<RegKey, Handle> handles_;
  RegKey nextHandle_ = 0x1000;
  std::set<Place> refuseOpen_;
  std::set<Place> refuseWrites_;
  std::set<Place> failEnumeration_;
  WriteBudget* budget_ = nullptr;
};

}  // namespace zeb
