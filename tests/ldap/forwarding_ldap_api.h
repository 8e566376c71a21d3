#pragma once
// An LdapApi that hands every call to another one: the tests' servers that answer some
// calls otherwise (a limit, small pages, a page that fails) override only those.
#include <string>
#include <vector>

#include "directory/ldap_api.h"

namespace zeb::testing {

class ForwardingLdapApi : public LdapApi {
 public:
  explicit ForwardingLdapApi(LdapApi& api) : api_(api) {}
  LdapSession* Init(const std::string& host, int port, bool secure) override {
    return api_.Init(host, port, secure);
  }
  int SetOption(LdapSession* session, int option, int value) override {
    return api_.SetOption(session, option, value);
  }
  int Connect(LdapSession* session, int timeoutSeconds) override {
    return api_.Connect(session, timeoutSeconds);
  }
  int SimpleBind(LdapSession* session, const std::string& dn, const std::string& password,
                 int timeoutSeconds) override {
    return api_.SimpleBind(session, dn, password, timeoutSeconds);
  }
  int Search(LdapSession* session, const std::string& base, LdapScope scope,
             const std::string& filter, const std::vector<std::string>& attributes,
             int timeoutSeconds, LdapMessage** result) override {
    return api_.Search(session, base, scope, filter, attributes, timeoutSeconds, result);
  }
  int SearchPage(LdapSession* session, const std::string& base, LdapScope scope,
                 const std::string& filter, const std::vector<std::string>& attributes,
                 int pageSize, int timeoutSeconds, std::string* cookie,
                 LdapMessage** result) override {
    return api_.SearchPage(session, base, scope, filter, attributes, pageSize, timeoutSeconds,
                           cookie, result);
  }
  LdapMessage* FirstEntry(LdapSession* session, LdapMessage* result) override {
    return api_.FirstEntry(session, result);
  }
  LdapMessage* NextEntry(LdapSession* session, LdapMessage* entry) override {
    return api_.NextEntry(session, entry);
  }
  std::string GetDn(LdapSession* session, LdapMessage* entry) override {
    return api_.GetDn(session, entry);
  }
  std::vector<std::string> GetValues(LdapSession* session, LdapMessage* entry,
                                     const std::string& attribute) override {
    return api_.GetValues(session, entry, attribute);
  }
  int ParseResult(LdapSession* session, LdapMessage* result, int* code,
                  std::string* matchedDn) override {
    return api_.ParseResult(session, result, code, matchedDn);
  }
  void MessageFree(LdapMessage* message) override { api_.MessageFree(message); }
  void Unbind(LdapSession* session) override { api_.Unbind(session); }

 private:
  LdapApi& api_;
};

}  // namespace zeb::testing
