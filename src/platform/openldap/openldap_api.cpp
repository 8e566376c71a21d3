#include "platform/openldap/openldap_api.h"

#include <ldap.h>
#include <sys/time.h>

#include <memory>

namespace zeb {

namespace {

LDAP* Ld(LdapSession* session) { return reinterpret_cast<LDAP*>(session); }
::LDAPMessage* Msg(LdapMessage* message) { return reinterpret_cast<::LDAPMessage*>(message); }
LdapMessage* Ours(::LDAPMessage* message) { return reinterpret_cast<LdapMessage*>(message); }

timeval Seconds(int seconds) { return timeval{seconds, 0}; }

// libldap numbers its client-side codes -1, -2, ... where wldap32 (and RFC 3494's list)
// has 81, 82, ...: the seam speaks the latter.
int Code(int rc) { return rc < 0 ? 80 - rc : rc; }

}  // namespace

LdapSession* OpenLdapApi::Init(const std::string& host, int port, bool secure) {
  const std::string url =
      std::string(secure ? "ldaps://" : "ldap://") + host + ":" + std::to_string(port);
  LDAP* ld = nullptr;
  if (ldap_initialize(&ld, url.c_str()) != LDAP_SUCCESS) return nullptr;
  return reinterpret_cast<LdapSession*>(ld);
}

int OpenLdapApi::SetOption(LdapSession* session, int option, int value) {
  return Code(ldap_set_option(Ld(session), option, &value));
}

int OpenLdapApi::Connect(LdapSession* session, int timeoutSeconds) {
  const timeval timeout = Seconds(timeoutSeconds);
  const int rc = ldap_set_option(Ld(session), LDAP_OPT_NETWORK_TIMEOUT, &timeout);
  if (rc != LDAP_SUCCESS) return Code(rc);
  return Code(ldap_connect(Ld(session)));
}

int OpenLdapApi::SimpleBind(LdapSession* session, const std::string& dn,
                            const std::string& password, int timeoutSeconds) {
  berval credentials{static_cast<ber_len_t>(password.size()), const_cast<char*>(password.data())};
  int id = 0;
  int rc = ldap_sasl_bind(Ld(session), dn.empty() ? nullptr : dn.c_str(), LDAP_SASL_SIMPLE,
                          &credentials, nullptr, nullptr, &id);
  if (rc != LDAP_SUCCESS) return Code(rc);
  timeval timeout = Seconds(timeoutSeconds);
  ::LDAPMessage* answer = nullptr;
  rc = ldap_result(Ld(session), id, LDAP_MSG_ALL, &timeout, &answer);
  if (rc == 0) {
    ldap_abandon_ext(Ld(session), id, nullptr, nullptr);
    return Code(LDAP_TIMEOUT);
  }
  if (rc < 0) {
    int error = LDAP_SERVER_DOWN;
    ldap_get_option(Ld(session), LDAP_OPT_RESULT_CODE, &error);
    return Code(error);
  }
  int code = LDAP_OTHER;
  rc = ldap_parse_result(Ld(session), answer, &code, nullptr, nullptr, nullptr, nullptr, 1);
  return Code(rc == LDAP_SUCCESS ? code : rc);
}

namespace {

struct ControlFree {
  void operator()(LDAPControl* control) const { ldap_control_free(control); }
};
struct ControlsFree {
  void operator()(LDAPControl** controls) const { ldap_controls_free(controls); }
};
using Control = std::unique_ptr<LDAPControl, ControlFree>;
using Controls = std::unique_ptr<LDAPControl*, ControlsFree>;

// One synchronous search, with the server controls given (null-terminated, or none).
int SearchWith(LDAP* ld, const std::string& base, LdapScope scope, const std::string& filter,
               const std::vector<std::string>& attributes, int timeoutSeconds,
               LDAPControl** serverControls, LdapMessage** result) {
  std::vector<char*> names;
  for (const std::string& attribute : attributes)
    names.push_back(const_cast<char*>(attribute.c_str()));
  names.push_back(nullptr);
  timeval timeout = Seconds(timeoutSeconds);
  ::LDAPMessage* answer = nullptr;
  const int rc = ldap_search_ext_s(ld, base.c_str(), static_cast<int>(scope), filter.c_str(),
                                   names.data(), 0, serverControls, nullptr, &timeout, 0,
                                   &answer);
  *result = Ours(answer);
  return Code(rc);
}

// The cookie of the paged results control in the answer (empty when it has none); false when
// the answer or its control cannot be read, so that a cut answer is never taken for a whole.
bool PageCookie(LDAP* ld, ::LDAPMessage* answer, std::string* cookie) {
  cookie->clear();
  LDAPControl** found = nullptr;
  if (!answer || ldap_parse_result(ld, answer, nullptr, nullptr, nullptr, nullptr, &found, 0) !=
                     LDAP_SUCCESS)
    return false;
  const Controls controls(found);
  LDAPControl* control = ldap_control_find(LDAP_CONTROL_PAGEDRESULTS, found, nullptr);
  if (!control) return true;
  ber_int_t estimate = 0;
  berval next{0, nullptr};
  if (ldap_parse_pageresponse_control(ld, control, &estimate, &next) != LDAP_SUCCESS)
    return false;
  cookie->assign(next.bv_val ? next.bv_val : "", next.bv_len);
  ldap_memfree(next.bv_val);
  return true;
}

}  // namespace

int OpenLdapApi::Search(LdapSession* session, const std::string& base, LdapScope scope,
                        const std::string& filter, const std::vector<std::string>& attributes,
                        int timeoutSeconds, LdapMessage** result) {
  return SearchWith(Ld(session), base, scope, filter, attributes, timeoutSeconds, nullptr,
                    result);
}

int OpenLdapApi::SearchPage(LdapSession* session, const std::string& base, LdapScope scope,
                            const std::string& filter, const std::vector<std::string>& attributes,
                            int pageSize, int timeoutSeconds, std::string* cookie,
                            LdapMessage** result) {
  *result = nullptr;
  berval asked{static_cast<ber_len_t>(cookie->size()), cookie->data()};
  LDAPControl* made = nullptr;
  const int created = ldap_create_page_control(Ld(session), pageSize, &asked, 0, &made);
  const Control control(made);
  cookie->clear();
  if (created != LDAP_SUCCESS) return Code(created);
  LDAPControl* controls[] = {control.get(), nullptr};
  const int rc = SearchWith(Ld(session), base, scope, filter, attributes, timeoutSeconds,
                            controls, result);
  if (rc == ldapcode::kSuccess && !PageCookie(Ld(session), Msg(*result), cookie)) {
    // Without the answer, its own success code cannot hide the failure.
    if (*result) ldap_msgfree(Msg(*result));
    *result = nullptr;
    return ldapcode::kDecodingError;
  }
  return rc;
}

LdapMessage* OpenLdapApi::FirstEntry(LdapSession* session, LdapMessage* result) {
  return Ours(ldap_first_entry(Ld(session), Msg(result)));
}

LdapMessage* OpenLdapApi::NextEntry(LdapSession* session, LdapMessage* entry) {
  return Ours(ldap_next_entry(Ld(session), Msg(entry)));
}

std::string OpenLdapApi::GetDn(LdapSession* session, LdapMessage* entry) {
  char* dn = ldap_get_dn(Ld(session), Msg(entry));
  if (!dn) return {};
  std::string text(dn);
  ldap_memfree(dn);
  return text;
}

std::vector<std::string> OpenLdapApi::GetValues(LdapSession* session, LdapMessage* entry,
                                                const std::string& attribute) {
  std::vector<std::string> values;
  berval** found = ldap_get_values_len(Ld(session), Msg(entry), attribute.c_str());
  if (!found) return values;
  for (berval** value = found; *value; ++value)
    values.emplace_back((*value)->bv_val, (*value)->bv_len);
  ldap_value_free_len(found);
  return values;
}

int OpenLdapApi::ParseResult(LdapSession* session, LdapMessage* result, int* code,
                             std::string* matchedDn) {
  char* matched = nullptr;
  const int rc =
      ldap_parse_result(Ld(session), Msg(result), code, &matched, nullptr, nullptr, nullptr, 0);
  *code = Code(*code);
  matchedDn->assign(matched ? matched : "");
  if (matched) ldap_memfree(matched);
  return Code(rc);
}

void OpenLdapApi::MessageFree(LdapMessage* message) { ldap_msgfree(Msg(message)); }

void OpenLdapApi::Unbind(LdapSession* session) {
  ldap_unbind_ext_s(Ld(session), nullptr, nullptr);
}

}  // namespace zeb
