#pragma once
// The written forms of directory names and their conversions, and alias resolution.
// Forms: full name "VRX:\\TREE\O\OU\CN", path form "\O\OU\CN", dotted name "CN.OU.O",
// tree path "\\TREE\.CN.OU.O". Positions given to and returned by LastCharPos are 1-based.
#include <memory>
#include <string>
#include <string_view>

#include "directory/alias_index.h"
#include "directory/directory_client.h"
#include "directory/name_memo.h"
#include "platform/view.h"

namespace zeb {

constexpr std::size_t kNameLimit = 255;  // the fixed string buffers cut here

namespace nameform {
constexpr int kTypeful = 1;
constexpr int kTypeless = 2;
constexpr int kPath = 4;
constexpr int kDotted = 8;
}  // namespace nameform

struct NameSplit {
  std::string objectPart;
  std::string rest;
};

int LastCharPos(char c, std::string_view text);
std::string StripTreePrefix(std::string_view name);
std::string StripNameType(std::string_view component);
std::string FullNameToDotted(std::string_view name);
std::string DottedToPath(std::string_view dotted);
int ClassifyName(std::string_view text);
std::string UncToFullName(std::string_view text);
std::string FullNameToUnc(std::string_view name);
std::string ParentFolderName(std::string_view path);
NameSplit SplitAtTree(std::string_view path, std::string_view treeName);

// How the operations below reach the client. A scan run uses both: one memo and one alias
// index per run (the run makes one DirectoryNames). Without them every call asks the client.
namespace lookups {
constexpr int kEveryCall = 0;
constexpr int kMemo = 1;   // a name is asked once (name_memo.h)
constexpr int kIndex = 2;  // the aliases are listed once (alias_index.h)
constexpr int kMemoAndIndex = kMemo | kIndex;
}  // namespace lookups

// The operations that reach the directory: they need the tree name, the client, its
// context, and a way to show the one message a scan can meet.
//
// With the memo, "DXVRCanonicalizeName failed (...)" is shown once per name rather than
// once per failing call: the second call for the name is answered from the memo and never
// reaches the client. With the index, a name that the index answers never reaches the
// client at all, so a client failure on it is not met and not shown.
class DirectoryNames {
 public:
  DirectoryNames(DirectoryClient& client, DirContextHandle context, std::string treeName,
                 MessageBoxes& messages, int lookups = lookups::kEveryCall);

  const std::string& TreeName() const { return treeName_; }
  // "VRX:\\" + tree + DottedToPath(dotted): the full name of a dotted name.
  std::string FullNameOf(std::string_view dotted) const;
  std::string CanonicalizeName(const std::string& dotted);
  // True when fullName denotes an Alias object; target is then the aliased object's full name.
  bool ResolveAlias(const std::string& fullName, std::string* target);
  NameSplit FindObjectPrefix(const std::string& path);
  // FindObjectPrefix(path), then ResolveAlias(namePrefix + objectPart) as the callers did
  // (an empty object part with an empty namePrefix names nothing: false). True when that
  // name is an alias; split and target are then set, as the pair would set them. With the
  // index, prefixes that provably pass through no alias are never asked (names.cpp).
  bool ResolveObjectPrefix(const std::string& path, std::string_view namePrefix, NameSplit* split,
                           std::string* target);
  NameSplit SplitAtTree(std::string_view path) const { return zeb::SplitAtTree(path, treeName_); }

 private:
  bool FindEntry(const std::string& fullName);
  // FindEntry that counts a client that raises as "no entry", as the prefix walk wants.
  bool IsEntry(const std::string& fullName);
  // The object part's split one component shorter; false when there is none.
  static bool DropLastComponent(NameSplit* split);
  // The client's canonical name for a dotted name without leading dots; empty when a step
  // failed.
  std::optional<std::string> AskCanonical(std::string_view name);
  bool ProvablyNoAlias(const std::string& fullName) const;

  DirectoryClient& client_;
  DirContextHandle context_;
  std::string treeName_;
  MessageBoxes& messages_;
  std::unique_ptr<NameMemo> memo_;
  std::unique_ptr<AliasIndex> index_;
};

}  // namespace zeb
