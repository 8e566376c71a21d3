#pragma once
// The directory server named by /DIRECTORY=: "ldap://host[:port][/base]" or
// "ldaps://host[:port][/base]" (RFC 4516 without attributes, scope, filter or extensions).
// The base, percent-encoded in the URL, is the DN under which the root-most component of
// a full name sits; empty by default.
#include <string>
#include <string_view>

namespace zeb {

struct LdapUrl {
  bool secure = false;  // ldaps://
  std::string host;
  int port = 389;
  std::string base;  // UTF-8, as LDAP writes it
};

// True when the text names a server rather than a file ("ldap://", "ldaps://", any case).
bool IsLdapUrl(std::string_view text);

// False with `problem` saying what is wrong.
bool ParseLdapUrl(std::string_view text, LdapUrl* url, std::string* problem);

}  // namespace zeb
