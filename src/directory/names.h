#pragma once
// The written forms of directory names and their conversions, and alias resolution.
// Forms: full name "VRX:\\TREE\O\OU\CN", path form "\O\OU\CN", dotted name "CN.OU.O",
// tree path "\\TREE\.CN.OU.O". Positions given to and returned by LastCharPos are 1-based.
#include <string>
#include <string_view>

#include "directory/directory_client.h"
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

// The operations that reach the directory: they need the tree name, the client, its
// context, and a way to show the one message a scan can meet.
class DirectoryNames {
 public:
  DirectoryNames(DirectoryClient& client, DirContextHandle context, std::string treeName,
                 MessageBoxes& messages);

  const std::string& TreeName() const { return treeName_; }
  // "VRX:\\" + tree + DottedToPath(dotted): the full name of a dotted name.
  std::string FullNameOf(std::string_view dotted) const;
  std::string CanonicalizeName(const std::string& dotted);
  // True when fullName denotes an Alias object; target is then the aliased object's full name.
  bool ResolveAlias(const std::string& fullName, std::string* target);
  NameSplit FindObjectPrefix(const std::string& path);
  NameSplit SplitAtTree(std::string_view path) const { return zeb::SplitAtTree(path, treeName_); }

 private:
  DirectoryClient& client_;
  DirContextHandle context_;
  std::string treeName_;
  MessageBoxes& messages_;
};

}  // namespace zeb
