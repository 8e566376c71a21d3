#pragma once
// The LDAP C calls our directory client makes, one function each: init, set option,
// connect, bind, search with a time limit (also one page of a paged search), first/next
// entry, the DN and values of an entry, the result code and matched DN of a result, message
// free, unbind. Two backends answer it:
// wldap32's W functions (Windows) and OpenLDAP's libldap (the native build), so that one
// client is tested against one slapd from both builds.
//
// Texts at this seam are UTF-8, as LDAP carries them; each backend converts where its
// library wants something else. Result codes are LDAP's (RFC 4511), plus the client-side
// codes both libraries share (81 server down, 84 decoding error, 85 timeout, 91 connect
// error).
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zeb {

namespace ldapcode {
constexpr int kSuccess = 0;
constexpr int kTimeLimitExceeded = 3;
constexpr int kSizeLimitExceeded = 4;
constexpr int kAdminLimitExceeded = 11;
constexpr int kUndefinedAttributeType = 17;
constexpr int kInappropriateMatching = 18;
constexpr int kInvalidAttributeSyntax = 21;
constexpr int kNoSuchObject = 32;
constexpr int kAliasProblem = 33;
constexpr int kInvalidDnSyntax = 34;
constexpr int kAliasDereferencingProblem = 36;
constexpr int kInvalidCredentials = 49;
constexpr int kServerDown = 81;
constexpr int kLocalError = 82;
constexpr int kDecodingError = 84;
constexpr int kTimeout = 85;
constexpr int kParamError = 89;
constexpr int kConnectError = 91;
}  // namespace ldapcode

// Option numbers and values, the same in both libraries.
namespace ldapoption {
constexpr int kDeref = 0x02;
constexpr int kProtocolVersion = 0x11;
constexpr int kDerefNever = 0;
constexpr int kVersion3 = 3;
}  // namespace ldapoption

enum class LdapScope { kBase = 0, kOneLevel = 1, kSubtree = 2 };

// Opaque handles of the library: a session, a message (a result or one of its entries).
struct LdapSession;
struct LdapMessage;

class LdapApi {
 public:
  virtual ~LdapApi() = default;

  // A session for host:port, not yet connected (ldap_initW / ldap_initialize); `secure`
  // asks for LDAP over TLS. Null when the library refuses the arguments.
  virtual LdapSession* Init(const std::string& host, int port, bool secure) = 0;
  virtual int SetOption(LdapSession* session, int option, int value) = 0;
  // Opens the connection, waiting at most `timeoutSeconds`.
  virtual int Connect(LdapSession* session, int timeoutSeconds) = 0;
  // A simple bind (an empty DN and password bind anonymously), its answer awaited at most
  // `timeoutSeconds`.
  virtual int SimpleBind(LdapSession* session, const std::string& dn,
                         const std::string& password, int timeoutSeconds) = 0;
  // Aliases are followed as the session's deref option says. On success and on most
  // failures `*result` holds a message, which the caller frees (LdapResult does).
  virtual int Search(LdapSession* session, const std::string& base, LdapScope scope,
                     const std::string& filter, const std::vector<std::string>& attributes,
                     int timeoutSeconds, LdapMessage** result) = 0;
  // One page of a search with the simple paged results control (RFC 2696, OID
  // 1.2.840.113556.1.4.319, not critical): at most `pageSize` entries, from where `*cookie`
  // says (empty: the first page), the page awaited at most `timeoutSeconds`. On return
  // `*cookie` is the server's cookie for the next page: empty after the last page, on a
  // failure, and when the server ignored the control (its answer is then the whole answer).
  // `*result` as Search gives it.
  virtual int SearchPage(LdapSession* session, const std::string& base, LdapScope scope,
                         const std::string& filter, const std::vector<std::string>& attributes,
                         int pageSize, int timeoutSeconds, std::string* cookie,
                         LdapMessage** result) = 0;
  virtual LdapMessage* FirstEntry(LdapSession* session, LdapMessage* result) = 0;
  virtual LdapMessage* NextEntry(LdapSession* session, LdapMessage* entry) = 0;
  virtual std::string GetDn(LdapSession* session, LdapMessage* entry) = 0;
  // The attribute's values as bytes; empty when it has none.
  virtual std::vector<std::string> GetValues(LdapSession* session, LdapMessage* entry,
                                             const std::string& attribute) = 0;
  // The result code the server gave and the matched DN it reported (empty when none).
  virtual int ParseResult(LdapSession* session, LdapMessage* result, int* code,
                          std::string* matchedDn) = 0;
  virtual void MessageFree(LdapMessage* message) = 0;
  virtual void Unbind(LdapSession* session) = 0;
};

// Owns a session: unbound (and its connection closed) when it goes.
class LdapConnection {
 public:
  LdapConnection() = default;
  LdapConnection(LdapApi& api, LdapSession* session) : api_(&api), session_(session) {}
  LdapConnection(const LdapConnection&) = delete;
  LdapConnection& operator=(const LdapConnection&) = delete;
  LdapConnection(LdapConnection&& other) noexcept
      : api_(other.api_), session_(std::exchange(other.session_, nullptr)) {}
  LdapConnection& operator=(LdapConnection&& other) noexcept {
    if (this != &other) {
      Reset();
      api_ = other.api_;
      session_ = std::exchange(other.session_, nullptr);
    }
    return *this;
  }
  ~LdapConnection() { Reset(); }

  LdapSession* get() const { return session_; }
  explicit operator bool() const { return session_ != nullptr; }
  void Reset() {
    if (session_) api_->Unbind(std::exchange(session_, nullptr));
  }

 private:
  LdapApi* api_ = nullptr;
  LdapSession* session_ = nullptr;
};

// Owns a result message: freed when it goes.
class LdapResult {
 public:
  explicit LdapResult(LdapApi& api) : api_(api) {}
  LdapResult(const LdapResult&) = delete;
  LdapResult& operator=(const LdapResult&) = delete;
  ~LdapResult() {
    if (message_) api_.MessageFree(message_);
  }

  LdapMessage* get() const { return message_; }
  // For the Search call to fill; a message held before is freed first.
  LdapMessage** out() {
    if (message_) api_.MessageFree(std::exchange(message_, nullptr));
    return &message_;
  }

 private:
  LdapApi& api_;
  LdapMessage* message_ = nullptr;
};

}  // namespace zeb
