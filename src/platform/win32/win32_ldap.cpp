#include "platform/win32/win32_ldap.h"

#include <winsock2.h>
#include <windows.h>
#include <winldap.h>

#include <cwchar>
#include <memory>

#include "platform/unicode.h"

namespace zeb {

namespace {

LDAP* Ld(LdapSession* session) { return reinterpret_cast<LDAP*>(session); }
::LDAPMessage* Msg(LdapMessage* message) { return reinterpret_cast<::LDAPMessage*>(message); }
LdapMessage* Ours(::LDAPMessage* message) { return reinterpret_cast<LdapMessage*>(message); }

// wchar_t and char16_t are both UTF-16 code units with mingw.
std::wstring Wide(const std::string& utf8) {
  const std::u16string text = Utf8ToWide(utf8);
  return std::wstring(text.begin(), text.end());
}

std::string Utf8(const wchar_t* text) {
  if (!text) return {};
  const std::wstring wide(text);
  return WideToUtf8(std::u16string(wide.begin(), wide.end()));
}

l_timeval Seconds(int seconds) { return l_timeval{seconds, 0}; }

// Wine's wldap32 answers a refused connection with the Winsock error (10057, not
// connected) where Windows gives LDAP_CONNECT_ERROR.
int Code(ULONG rc) {
  return rc >= WSABASEERR ? ldapcode::kConnectError : static_cast<int>(rc);
}

}  // namespace

LdapSession* Win32LdapApi::Init(const std::string& host, int port, bool secure) {
  std::wstring name = Wide(host);
  LDAP* ld = secure ? ldap_sslinitW(name.data(), static_cast<ULONG>(port), 1)
                    : ldap_initW(name.data(), static_cast<ULONG>(port));
  return reinterpret_cast<LdapSession*>(ld);
}

int Win32LdapApi::SetOption(LdapSession* session, int option, int value) {
  ULONG number = static_cast<ULONG>(value);
  return Code(ldap_set_optionW(Ld(session), option, &number));
}

int Win32LdapApi::Connect(LdapSession* session, int timeoutSeconds) {
  l_timeval timeout = Seconds(timeoutSeconds);
  return Code(ldap_connect(Ld(session), &timeout));
}

int Win32LdapApi::SimpleBind(LdapSession* session, const std::string& dn,
                             const std::string& password, int timeoutSeconds) {
  std::wstring who = Wide(dn);
  std::wstring secret = Wide(password);
  const ULONG id = ldap_simple_bindW(Ld(session), dn.empty() ? nullptr : who.data(),
                                     password.empty() ? nullptr : secret.data());
  if (id == static_cast<ULONG>(-1)) return Code(LdapGetLastError());
  l_timeval timeout = Seconds(timeoutSeconds);
  ::LDAPMessage* answer = nullptr;
  const ULONG kind = ldap_result(Ld(session), id, LDAP_MSG_ALL, &timeout, &answer);
  if (kind == 0) {
    ldap_abandon(Ld(session), id);
    return ldapcode::kTimeout;
  }
  if (kind == static_cast<ULONG>(-1) || !answer) return Code(LdapGetLastError());
  // The result kind is not to be trusted (it may say "entry" for a complete answer): the
  // answer's own result code says how the bind went.
  ULONG code = LDAP_OTHER;
  const ULONG rc = ldap_parse_resultW(Ld(session), answer, &code, nullptr, nullptr, nullptr,
                                      nullptr, TRUE);
  return rc == LDAP_SUCCESS ? Code(code) : Code(rc);
}

namespace {

struct ControlFree {
  void operator()(LDAPControlW* control) const { ldap_control_freeW(control); }
};
struct ControlsFree {
  void operator()(LDAPControlW** controls) const { ldap_controls_freeW(controls); }
};
struct BervalFree {
  void operator()(berval* value) const { ber_bvfree(value); }
};

// One synchronous search, with the server controls given (null-terminated, or none).
int SearchWith(LDAP* ld, const std::string& base, LdapScope scope, const std::string& filter,
               const std::vector<std::string>& attributes, int timeoutSeconds,
               PLDAPControlW* serverControls, LdapMessage** result) {
  std::wstring wideBase = Wide(base);
  std::wstring wideFilter = Wide(filter);
  std::vector<std::wstring> wideNames;
  for (const std::string& attribute : attributes) wideNames.push_back(Wide(attribute));
  std::vector<PWCHAR> names;
  for (std::wstring& name : wideNames) names.push_back(name.data());
  names.push_back(nullptr);
  l_timeval timeout = Seconds(timeoutSeconds);
  ::LDAPMessage* answer = nullptr;
  const ULONG rc = ldap_search_ext_sW(ld, wideBase.data(), static_cast<ULONG>(scope),
                                      wideFilter.data(), names.data(), 0, serverControls,
                                      nullptr, &timeout, 0, &answer);
  *result = Ours(answer);
  return Code(rc);
}

// The cookie of the paged results control in the answer (empty when it has none); false when
// the answer or its control cannot be read, so that a cut answer is never taken for a whole.
bool PageCookie(LDAP* ld, ::LDAPMessage* answer, std::string* cookie) {
  cookie->clear();
  ULONG code = 0;
  PLDAPControlW* found = nullptr;
  if (!answer || ldap_parse_resultW(ld, answer, &code, nullptr, nullptr, nullptr, &found,
                                    FALSE) != LDAP_SUCCESS)
    return false;
  const std::unique_ptr<PLDAPControlW, ControlsFree> controls(found);
  bool paged = false;
  for (PLDAPControlW* at = found; at && *at; ++at)
    paged = paged || ((*at)->ldctl_oid &&
                      wcscmp((*at)->ldctl_oid, LDAP_PAGED_RESULT_OID_STRING_W) == 0);
  if (!paged) return true;
  ULONG estimate = 0;
  berval* next = nullptr;
  if (ldap_parse_page_controlW(ld, found, &estimate, &next) != LDAP_SUCCESS) return false;
  const std::unique_ptr<berval, BervalFree> owned(next);
  if (next && next->bv_val) cookie->assign(next->bv_val, next->bv_len);
  return true;
}

}  // namespace

int Win32LdapApi::Search(LdapSession* session, const std::string& base, LdapScope scope,
                         const std::string& filter, const std::vector<std::string>& attributes,
                         int timeoutSeconds, LdapMessage** result) {
  return SearchWith(Ld(session), base, scope, filter, attributes, timeoutSeconds, nullptr,
                    result);
}

int Win32LdapApi::SearchPage(LdapSession* session, const std::string& base, LdapScope scope,
                             const std::string& filter, const std::vector<std::string>& attributes,
                             int pageSize, int timeoutSeconds, std::string* cookie,
                             LdapMessage** result) {
  *result = nullptr;
  berval asked{static_cast<ULONG>(cookie->size()), cookie->data()};
  PLDAPControlW made = nullptr;
  const ULONG created =
      ldap_create_page_controlW(Ld(session), static_cast<ULONG>(pageSize), &asked, FALSE, &made);
  const std::unique_ptr<LDAPControlW, ControlFree> control(made);
  cookie->clear();
  if (created != LDAP_SUCCESS) return Code(created);
  PLDAPControlW controls[] = {control.get(), nullptr};
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

LdapMessage* Win32LdapApi::FirstEntry(LdapSession* session, LdapMessage* result) {
  return Ours(ldap_first_entry(Ld(session), Msg(result)));
}

LdapMessage* Win32LdapApi::NextEntry(LdapSession* session, LdapMessage* entry) {
  return Ours(ldap_next_entry(Ld(session), Msg(entry)));
}

std::string Win32LdapApi::GetDn(LdapSession* session, LdapMessage* entry) {
  wchar_t* dn = ldap_get_dnW(Ld(session), Msg(entry));
  const std::string text = Utf8(dn);
  if (dn) ldap_memfreeW(dn);
  return text;
}

std::vector<std::string> Win32LdapApi::GetValues(LdapSession* session, LdapMessage* entry,
                                                 const std::string& attribute) {
  std::vector<std::string> values;
  std::wstring name = Wide(attribute);
  // The _len form gives the bytes as they came, UTF-8 for directory strings.
  berval** found = ldap_get_values_lenW(Ld(session), Msg(entry), name.data());
  if (!found) return values;
  for (berval** value = found; *value; ++value)
    values.emplace_back((*value)->bv_val, (*value)->bv_len);
  ldap_value_free_len(found);
  return values;
}

int Win32LdapApi::ParseResult(LdapSession* session, LdapMessage* result, int* code,
                              std::string* matchedDn) {
  ULONG answer = 0;
  wchar_t* matched = nullptr;
  const ULONG rc = ldap_parse_resultW(Ld(session), Msg(result), &answer, &matched, nullptr,
                                      nullptr, nullptr, FALSE);
  *code = Code(answer);
  *matchedDn = Utf8(matched);
  if (matched) ldap_memfreeW(matched);
  return Code(rc);
}

void Win32LdapApi::MessageFree(LdapMessage* message) { ldap_msgfree(Msg(message)); }

void Win32LdapApi::Unbind(LdapSession* session) { ldap_unbind(Ld(session)); }

}  // namespace zeb
