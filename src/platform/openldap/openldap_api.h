#pragma once
// LdapApi over OpenLDAP's libldap: the native build's way to the same slapd the Windows
// build reaches through wldap32.
#include "directory/ldap_api.h"

namespace zeb {

class OpenLdapApi : public LdapApi {
 public:
  LdapSession* Init(const std::string& host, int port, bool secure) override;
  int SetOption(LdapSession* session, int option, int value) override;
  int Connect(LdapSession* session, int timeoutSeconds) override;
  int SimpleBind(LdapSession* session, const std::string& dn, const std::string& password,
                 int timeoutSeconds) override;
  int Search(LdapSession* session, const std::string& base, LdapScope scope,
             const std::string& filter, const std::vector<std::string>& attributes,
             int timeoutSeconds, LdapMessage** result) override;
  int SearchPage(LdapSession* session, const std::string& base, LdapScope scope,
                 const std::string& filter, const std::vector<std::string>& attributes,
                 int pageSize, int timeoutSeconds, std::string* cookie,
                 LdapMessage** result) override;
  LdapMessage* FirstEntry(LdapSession* session, LdapMessage* result) override;
  LdapMessage* NextEntry(LdapSession* session, LdapMessage* entry) override;
  std::string GetDn(LdapSession* session, LdapMessage* entry) override;
  std::vector<std::string> GetValues(LdapSession* session, LdapMessage* entry,
                                     const std::string& attribute) override;
  int ParseResult(LdapSession* session, LdapMessage* result, int* code,
                  std::string* matchedDn) override;
  void MessageFree(LdapMessage* message) override;
  void Unbind(LdapSession* session) override;
};

}  // namespace zeb
