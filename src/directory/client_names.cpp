#include "directory/client_names.h"

#include <algorithm>

#include "directory/name_components.h"
#include "directory/names.h"
#include "platform/text.h"

namespace zeb {

namespace {
constexpr std::string_view kFullNamePrefix = "VRX:\\\\";
}  // namespace

std::string FullNameOfPath(std::string_view tree, std::string_view path) {
  return std::string(kFullNamePrefix).append(tree).append(path);
}

std::string TreeOfFullName(std::string_view fullName) {
  if (!StartsWithIgnoreCase(fullName, kFullNamePrefix)) return {};
  const std::string_view rest = fullName.substr(kFullNamePrefix.size());
  return std::string(rest.substr(0, rest.find('\\')));
}

bool SplitFullName(std::string_view fullName, std::string_view* tree,
                   std::vector<std::string_view>* rootFirst) {
  std::string_view rest = fullName;
  if (StartsWithIgnoreCase(rest, kFullNamePrefix))
    rest.remove_prefix(kFullNamePrefix.size());
  else if (rest.substr(0, 2) == "\\\\")
    rest.remove_prefix(2);
  else
    return false;
  const std::size_t slash = rest.find('\\');
  *tree = rest.substr(0, slash);
  rootFirst->clear();
  if (slash != std::string_view::npos) *rootFirst = SplitAt(rest.substr(slash + 1), '\\');
  return true;
}

std::vector<std::string_view> DottedRootFirst(std::string_view dotted) {
  const std::size_t start = dotted.find_first_not_of('.');
  std::vector<std::string_view> components =
      SplitAt(start == std::string_view::npos ? std::string_view() : dotted.substr(start), '.');
  std::reverse(components.begin(), components.end());
  return components;
}

std::string LeafOfUserName(std::string_view userName) {
  const std::string_view name = userName.substr(std::min(userName.find_first_not_of('.'), userName.size()));
  return StripNameType(name.substr(0, name.find('.')));
}

}  // namespace zeb
