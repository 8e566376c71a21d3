#include "platform/ini.h"

#include <algorithm>

#include "platform/text.h"

namespace zeb {
namespace {

// A profile list ends at its first empty name, as every caller of the profile functions
// reads it; a last name cut by a full buffer is kept as it stands.
std::vector<std::string> SplitNameList(const std::string& list) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < list.size()) {
    const std::size_t end = std::min(list.find('\0', start), list.size());
    if (end == start) break;
    names.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

}  // namespace

std::vector<std::string> IniFiles::ReadSections(const std::string& file) {
  return SplitNameList(api_.GetString(std::nullopt, std::nullopt, "", kListBuffer, file));
}

std::vector<std::string> IniFiles::ReadKeys(const std::string& file, const std::string& section) {
  return SplitNameList(api_.GetString(section, std::nullopt, "", kListBuffer, file));
}

std::string IniFiles::ReadString(const std::string& file, const std::string& section,
                                 const std::string& key) {
  return api_.GetString(section, key, "", kValueBuffer, file);
}

void IniFiles::WriteString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& value) {
  if (!api_.WriteString(section, key, value, file))
    throw IniError(SubstituteArgument("Unable to write to %s", file));
}

void IniFiles::DeleteKey(const std::string& file, const std::string& section,
                         const std::string& key) {
  api_.WriteString(section, key, std::nullopt, file);  // a failed delete changes nothing
}

}  // namespace zeb
