#include "ldap/ldap_test_backend.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>

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
// The state letter of /proc/<pid>/stat: 'T' once a stop has taken hold.
char ProcessState(long pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  const std::size_t close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() ? line[close + 2] : '?';
}

// Waits until the signal has taken effect: kill() returns before every thread of the server
// has stopped (or run on), and a request sent in between would still be answered.
bool SignalTestServer(int signal) {
  std::ifstream file(Environment("ZEB_TEST_SLAPD_DIR") + "/slapd.pid");
  long pid = 0;
  if (!(file >> pid) || pid <= 1) return false;
  if (kill(static_cast<pid_t>(pid), signal) != 0) return false;
  const bool wantStopped = signal == SIGSTOP;
  for (int i = 0; i < 200; ++i) {
    if ((ProcessState(pid) == 'T') == wantStopped) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
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
