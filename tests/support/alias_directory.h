#pragma once
// A directory of named objects and aliases, small enough to script per test: it answers the
// entry look-ups and the three client calls that alias resolution makes, and counts them.
#include <map>
#include <string>
#include <vector>

#include "directory/directory_client.h"

namespace zeb::testing {

class AliasDirectory : public DirectoryClient {
 public:
  explicit AliasDirectory(std::string treeName = "ACME_TREE") : tree_(std::move(treeName)) {}

  // Typeless dotted names, leaf first ("Robert.Sales.Acme"); the containers of an object are
  // not implied and are added on their own where a test needs them.
  void AddObject(const std::string& dotted);
  // The target need not be an entry: the client answers its text as the aliased name.
  void AddAlias(const std::string& alias, const std::string& target);

  // Full names looked up with FindEntry, in order.
  std::vector<std::string> findEntryCalls;

  std::string DefaultFullName() override { return std::string(); }
  bool FindTree(const std::string& treeName, std::string* userLeafName) override;
  void SetFullName(const std::string& fullName) override { fullName_ = fullName; }
  std::string FullName() override { return fullName_; }
  std::string GetTreeName(const std::string&) override { return tree_; }
  bool FindEntry(const std::string& fullName) override;
  std::int32_t DXCallsInit() override { return 0; }
  std::int32_t DXVRCreateContextHandle(DirContextHandle* context) override;
  std::int32_t DXVRGetContext(DirContextHandle, int, std::uint32_t* flags) override;
  std::int32_t DXVRSetContextFlags(DirContextHandle, std::uint32_t) override { return 0; }
  std::int32_t DXVRSetContextName(DirContextHandle, const std::string& nameContext) override;
  std::int32_t ReadObjectName(DirContextHandle, const std::string& leaf,
                              std::string* objectName) override;
  std::int32_t DXVRCanonicalizeName(DirContextHandle, const std::string& name,
                                    std::string* canonical) override;
  std::uint16_t GetClientKind() override { return 4; }
  ClientVersion GetClientVersion() override { return {5, 2, 0, 0}; }
  void FreeContext(DirContextHandle) override {}
  void FreeUnicodeTables() override {}
  bool ListAliases(std::vector<DirectoryAlias>* aliases) override;

 private:
  struct Entry {
    std::string name;    // as added
    std::string target;  // empty unless an alias
  };
  // Typeless, upper-cased: the key of an entry.
  static std::string Key(const std::string& dotted);
  const Entry* Find(const std::string& dotted) const;

  std::string tree_;
  std::string fullName_;
  std::string nameContext_;
  std::map<std::string, Entry> entries_;
};

}  // namespace zeb::testing
