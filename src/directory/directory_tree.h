#pragma once
// The entries of one directory tree, built from the records of an LDIF file and indexed so
// that finding a name costs one hash look-up per component.
//
// DNs are written from the tree's root ("cn=Robert,ou=Sales,o=Acme"), or from below a base
// DN when one is given ("cn=Robert,ou=Sales,dc=example,dc=com" with the base
// "dc=example,dc=com"): the base's own entry stands for the tree, and records outside the
// base are not part of it. A record "dn: t=ACME_TREE" may name the tree.
//
// What an export holds is loaded as it is: records in any order, containers that are not in
// the file (kept as glue: they hold entries but are none themselves), siblings whose names
// differ only in type (a typeless name then fits both and finds neither), aliases whose
// target is not in the file (dangling: following them fails), names with characters that
// the program's names cannot carry. Refused are only a file that contradicts itself: a DN
// twice, an entry below an alias, an alias without a single aliasedObjectName, an alias
// loop. Every alias is followed to its final, non-alias object (or found dangling) when the
// file is loaded, so loops are found then and never during a look-up.
//
// Text. Names are held in UTF-8, as exports write them; a name that is not well-formed UTF-8
// is taken to be in the ANSI code page (Windows-1252), as files written for this program
// by hand may be. Look-ups take the program's byte strings (the code page); ASCII letters
// compare without case, all other characters exactly. A name with a character outside the
// code page is loaded, but no byte string can name it, and asking for its name fails; so
// is a name of several values ("cn=A+uid=b").
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
    std::string value;  // the name as stored, UTF-8
    int line = 0;       // where the file defines it
    bool isGlue = false;   // named only by the DNs below it: not an entry
    bool multiValued = false;  // a name of several values ("cn=A+uid=b"): no byte string names it
    bool isAlias = false;
    // For an alias: the object it finally leads to; null when it leads to nothing.
    const Entry* aliased = nullptr;
    std::vector<Rdn> target;  // for an alias: its aliasedObjectName below the base, root first
    // Children by name, ASCII letters upper-cased; more than one where only types differ.
    std::unordered_map<std::string, std::vector<Entry*>> children;
  };

  struct LoadOutcome {
    std::int32_t code = 0;  // dirresult codes
    LdifProblem problem;
  };

  DirectoryTree();
  DirectoryTree(const DirectoryTree&) = delete;
  DirectoryTree& operator=(const DirectoryTree&) = delete;

  // Replaces the tree by the file's entries below `base` (a DN; empty: the whole file); on
  // failure the tree is left empty.
  LoadOutcome Load(const LdifContent& content, std::string_view base = {});

  // The name of a "t=" record, or empty.
  const std::string& DeclaredTreeName() const { return declaredTreeName_; }

  // Components root first, in the code page, each typeless ("Sales") or typeful
  // ("OU=Sales"). Aliases met above the last component are followed; the last one only
  // when followLast. The empty list is the tree itself. Null when no entry has that name,
  // when a typeless component fits two siblings, or when an alias on the way leads nowhere.
  const Entry* Find(const std::vector<std::string_view>& rootFirst, bool followLast) const;

  // Every alias, in no particular order.
  const std::vector<const Entry*>& Aliases() const { return aliases_; }

  // The entry's names in the program's forms, in the code page. False when one of them
  // cannot be written so: a character outside the code page, a separator of the form, or
  // (typeless) a name that a sibling of another type has too.
  // Dotted: leaf first, dot-separated; typeful with upper-cased types
  // ("CN=Robert.OU=Sales.O=Acme").
  [[nodiscard]] static bool DottedName(const Entry& entry, bool typeful, std::string* name);
  // Root first, each component after a backslash ("\Acme\Sales\Robert").
  [[nodiscard]] static bool PathOf(const Entry& entry, std::string* path);
  // Root first, one value per component.
  [[nodiscard]] static bool ComponentsOf(const Entry& entry, std::vector<std::string>* rootFirst);
  // The entry's own name.
  [[nodiscard]] static bool NameOf(const Entry& entry, std::string* name);

 private:
  struct PendingAlias {
    Entry* alias;
    int line;  // of the aliasedObjectName
  };

  class Builder;

  void Clear();

  Entry root_;
  std::vector<std::unique_ptr<Entry>> entries_;
  std::vector<const Entry*> aliases_;
  std::string declaredTreeName_;
};

}  // namespace zeb
