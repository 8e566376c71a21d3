#pragma once
// LDAP distinguished names as LDIF files write them ("cn=Robert,ou=Sales,o=Acme"), the
// part of RFC 4514 a directory file needs: escapes "\," and "\XX", spaces around names
// and values ignored, names of several values ("cn=A+uid=b") and hex-encoded values
// ("cn=#0403414243") kept as written (the program's names cannot name them). Quoted values,
// which RFC 4514 does not have, are refused.
#include <string>
#include <string_view>
#include <vector>

namespace zeb {

struct Rdn {
  std::string type;   // as written, e.g. "cn"
  std::string value;  // unescaped bytes; "A+uid=b" or "#0403414243" when verbatim
  bool verbatim = false;  // a name of several values or a hex-encoded one
};

// The names leaf first, as written. False with `problem` saying why for a malformed DN.
bool ParseDn(std::string_view dn, std::vector<Rdn>* rdns, std::string* problem);

}  // namespace zeb
