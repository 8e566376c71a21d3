#pragma once
// LDAP distinguished names as LDIF files write them ("cn=Robert,ou=Sales,o=Acme"), the
// part of RFC 4514 a directory file needs: escapes "\," and "\XX", spaces around names
// and values ignored, names of several values ("cn=A+uid=b", kept whole: the program's
// names cannot name them). Hex-encoded values ("#") and quoted ones are refused.
#include <string>
#include <string_view>
#include <vector>

namespace zeb {

struct Rdn {
  std::string type;   // as written, e.g. "cn"
  std::string value;  // unescaped bytes; "A+uid=b" for a name of several values
  bool multiValued = false;
};

// The names leaf first, as written. False with `problem` saying why for a malformed DN.
bool ParseDn(std::string_view dn, std::vector<Rdn>* rdns, std::string* problem);

}  // namespace zeb
