#pragma once
// The tree's aliases, listed by the client once per run (DirectoryClient::ListAliases), so
// that a name none of whose leading parts is an alias can be told apart without a look-up.
//
// What it can answer, and what not: it knows every alias by name, so it proves that a name
// passes through none. It knows nothing of the other names: not whether they exist (an
// existing object and a name nobody uses look the same to it), nor how the directory spells
// them. So FindEntry and CanonicalizeName always ask (through the memo), and only
// ResolveAlias's "no" is answered from here (names.cpp says when that "no" is proven).
#include <string>
#include <string_view>
#include <unordered_set>

#include "directory/directory_client.h"

namespace zeb {

class AliasIndex {
 public:
  // Asks the client for its aliases once. An index the client could not fill proves nothing.
  explicit AliasIndex(DirectoryClient& client);

  bool Complete() const { return complete_; }
  std::size_t Size() const { return aliases_.size(); }

  // True when the index proves that no leading part of the typeless dotted name (leaf
  // first, no leading dot; "Q2.Old.Acme" has the leading parts Acme, Old.Acme and itself)
  // is an alias, ASCII letters compared without case.
  bool NoLeadingPartIsAlias(std::string_view dotted) const;

 private:
  bool complete_ = false;
  // Each alias root first, upper-cased, every component followed by a backslash
  // ("ACME\OLD\"): a backslash cannot be part of a component.
  std::unordered_set<std::string> aliases_;
};

}  // namespace zeb
