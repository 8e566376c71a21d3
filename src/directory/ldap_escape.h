#pragma once
// Values put into LDAP strings: RFC 4514 escaping in DNs, RFC 4515 in search filters.
#include <string>
#include <string_view>

namespace zeb {

// "\," "\+" "\"" "\\" "\<" "\>" "\;" "\=", a leading "#" or space and a trailing space
// escaped, a zero byte as "\00"; other bytes (UTF-8 included) as they are.
std::string EscapeDnValue(std::string_view value);

// "*" "(" ")" "\" and the zero byte as "\2a" "\28" "\29" "\5c" "\00".
std::string EscapeFilterValue(std::string_view value);

}  // namespace zeb
