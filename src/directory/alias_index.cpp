#include "directory/alias_index.h"

#include <vector>

#include "directory/name_components.h"
#include "platform/text.h"

namespace zeb {

AliasIndex::AliasIndex(DirectoryClient& client) {
  std::vector<DirectoryAlias> aliases;
  try {
    complete_ = client.ListAliases(&aliases);
  } catch (...) {
    complete_ = false;
  }
  if (!complete_) return;
  for (const DirectoryAlias& alias : aliases) {
    std::string key;
    for (const std::string& component : alias.name) key.append(UpperAscii(component)).push_back('\\');
    aliases_.insert(std::move(key));
  }
}

bool AliasIndex::NoLeadingPartIsAlias(std::string_view dotted) const {
  if (!complete_) return false;
  const std::vector<std::string_view> leafFirst = SplitAt(dotted, '.');
  std::string key;
  for (auto it = leafFirst.rbegin(); it != leafFirst.rend(); ++it) {
    if (it->find('\\') != std::string_view::npos) return false;
    key.append(UpperAscii(*it)).push_back('\\');
    if (aliases_.count(key) != 0) return false;
  }
  return true;
}

}  // namespace zeb
