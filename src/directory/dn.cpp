#include "directory/dn.h"

#include <algorithm>

#include "platform/text.h"

namespace zeb {

namespace {

constexpr std::string_view kEscapable = ",=+<>#;\\\" ";

bool IsTypeChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         c == '-' || c == '.';
}

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Reads one "type=value" from `dn` at `pos`, up to the next unescaped ",".
bool ParseRdn(std::string_view dn, std::size_t* pos, Rdn* rdn, std::string* problem) {
  const std::size_t equals = dn.find('=', *pos);
  const std::size_t comma = dn.find(',', *pos);
  if (equals == std::string_view::npos || (comma != std::string_view::npos && comma < equals)) {
    *problem = "a name has no \"=\" between its type and its value";
    return false;
  }
  const std::string_view type = TrimSpaces(dn.substr(*pos, equals - *pos));
  bool validType = !type.empty();
  for (char c : type) validType = validType && IsTypeChar(c);
  if (!validType) {
    *problem = "\"" + std::string(type) + "\" is not an attribute type";
    return false;
  }
  rdn->type = std::string(type);
  rdn->value.clear();

  std::size_t i = equals + 1;
  while (i < dn.size() && dn[i] == ' ') ++i;
  // A BER value in hex: kept as written, as a name of several values is.
  if (i < dn.size() && dn[i] == '#') rdn->verbatim = true;
  std::size_t kept = 0;  // length without trailing unescaped spaces
  for (; i < dn.size() && dn[i] != ','; ++i) {
    const char c = dn[i];
    if (c == '+') rdn->verbatim = true;
    if (c == '"') {
      *problem = "quoted values are not supported; escape special characters with \"\\\"";
      return false;
    }
    if (c != '\\') {
      rdn->value.push_back(c);
      if (c != ' ') kept = rdn->value.size();
      continue;
    }
    if (i + 1 < dn.size() && kEscapable.find(dn[i + 1]) != std::string_view::npos) {
      rdn->value.push_back(dn[++i]);
    } else if (i + 2 < dn.size() && HexDigitValue(dn[i + 1]) >= 0 && HexDigitValue(dn[i + 2]) >= 0) {
      rdn->value.push_back(static_cast<char>(HexDigitValue(dn[i + 1]) * 16 + HexDigitValue(dn[i + 2])));
      i += 2;
    } else {
      *problem = "a \"\\\" must be followed by a special character or two hex digits";
      return false;
    }
    kept = rdn->value.size();
  }
  rdn->value.resize(kept);
  if (rdn->value.empty()) {
    *problem = "the name \"" + rdn->type + "=\" has no value";
    return false;
  }
  *pos = i;
  return true;
}

}  // namespace

bool ParseDn(std::string_view dn, std::vector<Rdn>* rdns, std::string* problem) {
  rdns->clear();
  if (TrimSpaces(dn).empty()) {
    *problem = "the DN is empty";
    return false;
  }
  // A comma ends each name but the last, unless escaped: enough room, and one allocation.
  rdns->reserve(static_cast<std::size_t>(std::count(dn.begin(), dn.end(), ',')) + 1);
  std::size_t pos = 0;
  for (;;) {
    Rdn rdn;
    if (!ParseRdn(dn, &pos, &rdn, problem)) return false;
    rdns->push_back(std::move(rdn));
    if (pos >= dn.size()) return true;
    ++pos;  // the comma
  }
}

}  // namespace zeb
