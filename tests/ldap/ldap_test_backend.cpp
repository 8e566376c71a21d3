#include "ldap/ldap_test_backend.h"

#include <cstdlib>
#include <fstream>
#include <string_view>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/win32/win32_ldap.h"
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/openldap/openldap_api.h"
#endif

namespace zeb::testing {

namespace {

#ifdef _WIN32
using Socket = SOCKET;
void CloseSocket(Socket s) { closesocket(s); }
struct WinsockUp {
  WinsockUp() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
};
#else
using Socket = int;
void CloseSocket(Socket s) { close(s); }
struct WinsockUp {};
#endif

// A loopback TCP socket bound to a port of the system's choosing, listening or not.
Socket BoundSocket(bool listening, int* port) {
  [[maybe_unused]] static WinsockUp winsock;
  const Socket s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  if (listening) listen(s, 16);
  socklen_t length = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  *port = ntohs(address.sin_port);
  return s;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

#ifndef _WIN32
bool SignalTestServer(int signal) {
  std::ifstream file(Environment("ZEB_TEST_SLAPD_DIR") + "/slapd.pid");
  long pid = 0;
  if (!(file >> pid) || pid <= 1) return false;
  return kill(static_cast<pid_t>(pid), signal) == 0;
}
#endif

}  // namespace

LdapApi& TestLdapApi() {
#ifdef _WIN32
  static Win32LdapApi api;
#else
  static OpenLdapApi api;
#endif
  return api;
}

std::string TestServerUrl() { return Environment("ZEB_TEST_LDAP_URL"); }

std::string TestServerHost() { return "127.0.0.1"; }

int TestServerPort() {
  const std::string url = TestServerUrl();
  const std::size_t colon = url.rfind(':');
  return colon == std::string::npos ? 0 : std::atoi(url.c_str() + colon + 1);
}

#ifdef _WIN32
bool PauseTestServer() { return false; }
bool ResumeTestServer() { return false; }
#else
bool PauseTestServer() { return SignalTestServer(SIGSTOP); }
bool ResumeTestServer() { return SignalTestServer(SIGCONT); }
#endif

SilentServer::SilentServer() { socket_ = static_cast<long long>(BoundSocket(true, &port_)); }

SilentServer::~SilentServer() { CloseSocket(static_cast<Socket>(socket_)); }

int ClosedPort() {
  int port = 0;
  CloseSocket(BoundSocket(false, &port));
  return port;
}

}  // namespace zeb::testing
