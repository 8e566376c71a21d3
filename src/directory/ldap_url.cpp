#include "directory/ldap_url.h"

#include "platform/text.h"

namespace zeb {

namespace {

constexpr std::string_view kPlain = "ldap://";
constexpr std::string_view kSecure = "ldaps://";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool PercentDecode(std::string_view text, std::string* decoded) {
  decoded->clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded->push_back(text[i]);
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return false;
    decoded->push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return true;
}

}  // namespace

bool IsLdapUrl(std::string_view text) {
  return StartsWithIgnoreCase(text, kPlain) || StartsWithIgnoreCase(text, kSecure);
}

bool ParseLdapUrl(std::string_view text, LdapUrl* url, std::string* problem) {
  *url = LdapUrl{};
  url->secure = StartsWithIgnoreCase(text, kSecure);
  if (!url->secure && !StartsWithIgnoreCase(text, kPlain)) {
    *problem = "a directory server is named \"ldap://host[:port][/base]\" or \"ldaps://...\"";
    return false;
  }
  url->port = url->secure ? 636 : 389;
  std::string_view rest = text.substr(url->secure ? kSecure.size() : kPlain.size());
  const std::size_t slash = rest.find('/');
  const std::string_view hostPort = rest.substr(0, slash);
  const std::string_view base =
      slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
  if (base.find('?') != std::string_view::npos) {
    *problem = "the URL may name a base DN, but no attributes, scope or filter (\"?\")";
    return false;
  }
  const std::size_t colon = hostPort.rfind(':');
  url->host = std::string(hostPort.substr(0, colon));
  if (url->host.empty()) {
    *problem = "the URL names no host";
    return false;
  }
  if (colon != std::string_view::npos) {
    const std::string_view port = hostPort.substr(colon + 1);
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string_view::npos ||
        std::stoi(std::string(port)) < 1 || std::stoi(std::string(port)) > 65535) {
      *problem = "the port \"" + std::string(port) + "\" is not a number from 1 to 65535";
      return false;
    }
    url->port = std::stoi(std::string(port));
  }
  if (!PercentDecode(base, &url->base)) {
    *problem = "a \"%\" in the base must be followed by two hex digits";
    return false;
  }
  return true;
}

}  // namespace zeb
