#include "directory/ldap_escape.h"

namespace zeb {

std::string EscapeDnValue(std::string_view value) {
  std::string escaped;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\0') {
      escaped += "\\00";
      continue;
    }
    const bool special = std::string_view(",+\"\\<>;=").find(c) != std::string_view::npos ||
                         (i == 0 && (c == ' ' || c == '#')) ||
                         (i + 1 == value.size() && c == ' ');
    if (special) escaped.push_back('\\');
    escaped.push_back(c);
  }
  return escaped;
}

std::string EscapeFilterValue(std::string_view value) {
  std::string escaped;
  for (const char c : value) {
    switch (c) {
      case '*': escaped += "\\2a"; break;
      case '(': escaped += "\\28"; break;
      case ')': escaped += "\\29"; break;
      case '\\': escaped += "\\5c"; break;
      case '\0': escaped += "\\00"; break;
      default: escaped.push_back(c);
    }
  }
  return escaped;
}

}  // namespace zeb
