#pragma once
// The entries of one directory tree, built from the records of an LDIF file and indexed so
// that finding a name costs one hash look-up per component.
//
// DNs are written from the tree's root ("cn=Robert,ou=Sales,o=Acme"). One record may name
// the tree itself: "dn: t=ACME_TREE". An entry whose objectClass includes "alias" is an
// alias of the entry its aliasedObjectName names. Every alias is followed to its final,
// non-alias object when the file is loaded, so dangling aliases and loops are found then
// and never during a look-up.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "directory/dn.h"
#include "directory/ldif.h"

namespace zeb {

class DirectoryTree {
 public:
  struct Entry {
    const Entry* parent = nullptr;
    std::string type;   // "cn", "ou", "o"...
    std::string value;  // the name as stored
    int line = 0;       // where the file defines it
    bool isAlias = false;
    const Entry* aliased = nullptr;  // for an alias: the object it finally leads to
    // Children by name, ASCII letters upper-cased: siblings differ in more than case.
    std::unordered_map<std::string, Entry*> children;
  };

  struct LoadOutcome {
    std::int32_t code = 0;  // dirresult codes
    LdifProblem problem;
  };

  DirectoryTree();
  DirectoryTree(const DirectoryTree&) = delete;
  DirectoryTree& operator=(const DirectoryTree&) = delete;

  // Replaces the tree by the file's entries; on failure the tree is left empty.
  LoadOutcome Load(const LdifContent& content);

  // The name of a "t=" record, or empty.
  const std::string& DeclaredTreeName() const { return declaredTreeName_; }

  // Components root first, each typeless ("Sales") or typeful ("OU=Sales"). Aliases met
  // above the last component are followed; the last one only when followLast. The empty
  // list is the tree itself.
  const Entry* Find(const std::vector<std::string_view>& rootFirst, bool followLast) const;

  // Leaf first, dot-separated; typeful with upper-cased types ("CN=Robert.OU=Sales.O=Acme").
  static std::string DottedName(const Entry& entry, bool typeful);
  // Root first, each component after a backslash ("\Acme\Sales\Robert").
  static std::string PathOf(const Entry& entry);

 private:
  struct PendingAlias {
    Entry* alias;
    std::vector<Rdn> target;  // root first
    int line;                 // of the aliasedObjectName
    std::string targetText;
  };

  class Builder;

  void Clear();

  Entry root_;
  std::vector<std::unique_ptr<Entry>> entries_;
  std::string declaredTreeName_;
};

}  // namespace zeb
