#pragma once
// How a directory client reads the names it is given, whatever holds its entries: the tree
// and components of a full name, the components of a dotted name, the leaf a user name
// starts with.
#include <string>
#include <string_view>
#include <vector>

namespace zeb {

// "VRX:\\" + tree + path ("\O\OU\CN"): a full name.
std::string FullNameOfPath(std::string_view tree, std::string_view path);

// The tree name of "VRX:\\TREE\..." ("" for any other text).
std::string TreeOfFullName(std::string_view fullName);

// "VRX:\\TREE\O\OU\CN", or the same without "VRX:" (the scanners look tree paths of that
// form up before they put the prefix in front): false for any other text; else the tree
// and the components root first (none: the tree itself).
bool SplitFullName(std::string_view fullName, std::string_view* tree,
                   std::vector<std::string_view>* rootFirst);

// Components root first of a dotted name counted from the root ("CN.OU.O", a leading dot
// ignored).
std::vector<std::string_view> DottedRootFirst(std::string_view dotted);

// The leaf of a dotted user name, without its type: "CN=Bob.Sales" gives "Bob".
std::string LeafOfUserName(std::string_view userName);

}  // namespace zeb
