#pragma once
// What the LDAP tests run against: this build's LdapApi backend (libldap natively, wldap32
// under Wine) and the private slapd that with-slapd.sh started for this test program.
#include <string>

#include "directory/ldap_api.h"

namespace zeb::testing {

LdapApi& TestLdapApi();

// "ldap://127.0.0.1:PORT" of the test's slapd (ZEB_TEST_LDAP_URL); empty when not run by
// with-slapd.sh.
std::string TestServerUrl();
std::string TestServerHost();  // "127.0.0.1"
int TestServerPort();

// Pauses and resumes the test's slapd (SIGSTOP / SIGCONT to its pid): a server that stops
// answering with its connections left open. False where the build cannot (Windows).
bool PauseTestServer();
bool ResumeTestServer();

// A loopback port that accepts connections and never answers: the operating system
// completes the TCP handshake of a listening socket nobody reads.
class SilentServer {
 public:
  SilentServer();
  ~SilentServer();
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;
  int port() const { return port_; }

 private:
  long long socket_ = -1;
  int port_ = 0;
};

// A loopback port nothing listens on (one that was free a moment ago).
int ClosedPort();

}  // namespace zeb::testing
