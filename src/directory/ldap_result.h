#pragma once
// Result codes of our LDAP directory client, beside those it shares with the LDIF one
// (ldif_result.h: -1005 an alias that leads to no entry, -1006 an alias loop, -1010 not
// initialised, -1011 unknown context, -1012 unknown context key, -1013 name context too
// long, -1020 no such entry (a typeless name that fits two siblings too), -1021 a name the
// code page cannot write). The start-up
// shows DXCallsInit's as "DXCallsInit Failed (<code>)"; LdapDirectory::LastError() gives
// the whole text.
#include <cstdint>

namespace zeb::dirresult {

// /DIRECTORY= names a server, but not in a form this client reads.
constexpr std::int32_t kBadServerUrl = -1030;
// The session could not be made at all (the library refused the host or the option).
constexpr std::int32_t kNoSession = -1031;

// The server did not answer as asked: -1100 minus the LDAP result code, so the code in the
// box tells what happened. The ones met in practice:
//   -1149  invalid credentials (a wrong /BINDDN= or ZEB_BIND_PASSWORD)
//   -1181  server down (nothing listening, or the connection lost)
//   -1185  timeout (no answer within /DIRTIMEOUT=)
//   -1191  connect error
//   -1103  time limit exceeded on the server's side
constexpr std::int32_t kServerResultBase = -1100;
constexpr std::int32_t ServerFailure(int ldapResultCode) {
  return kServerResultBase - ldapResultCode;
}

}  // namespace zeb::dirresult
