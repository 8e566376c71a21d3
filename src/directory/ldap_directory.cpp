#include "directory/ldap_directory.h"

#include <algorithm>
#include <set>

#include "directory/client_names.h"
#include "directory/ldap_escape.h"
#include "directory/ldap_result.h"
#include "directory/ldif_result.h"
#include "directory/names.h"
#include "platform/code_page_1252.h"
#include "platform/text.h"
#include "platform/unicode.h"

namespace zeb {

namespace {

const std::vector<std::string> kAttributes = {"objectClass", "aliasedObjectName"};
// The attributes entries are named by, in the trees the program meets.
const char* const kNamingTypes[] = {"cn", "ou", "o", "l", "dc"};
// Aliases followed for one name at most: more is taken as a loop through containers.
constexpr int kMaxHops = 32;
// Entries a page of the alias listing asks for: below the servers' usual limits (slapd's
// size limit of 500, Active Directory's page size of 1000), so that a page is never cut.
constexpr int kPageSize = 400;
// Pages in a row that bring no entry before the listing is given up.
constexpr int kMaxEmptyPages = 8;

std::string ToUtf8(std::string_view ansi) { return AnsiToUtf8(ansi); }

std::string DnOf(const std::vector<Rdn>& leafFirst) {
  std::string dn;
  // A name of several values is kept as written ("A+uid=b"), its parts unescaped.
  for (const Rdn& rdn : leafFirst)
    dn.append(dn.empty() ? "" : ",")
        .append(rdn.type + "=" + (rdn.verbatim ? rdn.value : EscapeDnValue(rdn.value)));
  return dn;
}

// Two DNs as the server writes them name one entry: types and values without ASCII case.
bool SameRdns(const std::vector<Rdn>& a, const std::vector<Rdn>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!EqualsIgnoreCase(a[i].type, b[i].type) || !EqualsIgnoreCase(a[i].value, b[i].value))
      return false;
  return true;
}

// `rdns` is `top` or an entry below it.
bool AtOrBelow(const std::vector<Rdn>& rdns, const std::vector<Rdn>& top) {
  if (rdns.size() < top.size()) return false;
  // Compared in place: it runs for every listed alias on many walks.
  const std::size_t skip = rdns.size() - top.size();
  for (std::size_t i = 0; i < top.size(); ++i)
    if (!EqualsIgnoreCase(rdns[skip + i].type, top[i].type) ||
        !EqualsIgnoreCase(rdns[skip + i].value, top[i].value))
      return false;
  return true;
}

std::vector<Rdn> ParentOf(const std::vector<Rdn>& leafFirst) {
  return std::vector<Rdn>(leafFirst.begin() + 1, leafFirst.end());
}

// The filter for entries named `value` by any naming attribute.
std::string AnyNameFilter(const std::vector<std::string>& values) {
  std::string filter = "(|";
  for (const std::string& value : values)
    for (const char* type : kNamingTypes)
      filter.append("(").append(type).append("=").append(EscapeFilterValue(value)).append(")");
  return filter + ")";
}

// Codes that say the name is bad or not there; every other failure is the server's.
bool NameProblem(int code) {
  switch (code) {
    case ldapcode::kNoSuchObject:
    case ldapcode::kAliasProblem:
    case ldapcode::kInvalidDnSyntax:
    case ldapcode::kAliasDereferencingProblem:
    case ldapcode::kInvalidAttributeSyntax:
    case ldapcode::kUndefinedAttributeType:
    case ldapcode::kInappropriateMatching:
      return true;
    default:
      return false;
  }
}

// The server's limits on one answer: it is incomplete, and the server is still there.
bool LimitReached(int code) {
  return code == ldapcode::kSizeLimitExceeded || code == ldapcode::kAdminLimitExceeded;
}

bool IsAttributeType(std::string_view type) {
  if (type.empty()) return false;
  for (const char c : type) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!letter && !(c >= '0' && c <= '9') && c != '-' && c != '.') return false;
  }
  return true;
}

bool IsNamingType(std::string_view type) {
  for (const char* naming : kNamingTypes)
    if (EqualsIgnoreCase(type, naming)) return true;
  return false;
}

std::string ChildrenKey(const std::vector<Rdn>& parent, const std::string& value) {
  return UpperAscii(DnOf(parent)) + "\\" + UpperAscii(value);
}

// A look-up's key in the memo: "1" or "0" for followLast, then the name upper-cased.
std::string MemoKey(const std::vector<std::string_view>& rootFirst, bool followLast) {
  std::string key = followLast ? "1" : "0";
  for (const std::string_view text : rootFirst) key.append("\\").append(UpperAscii(text));
  return key;
}

std::string CodeText(int code) { return "LDAP result code " + std::to_string(code); }

}  // namespace

LdapDirectory::LdapDirectory(const DirectoryConfig& config, const ServerSwitches& switches,
                             const std::string& bindPassword, LdapApi& api)
    : api_(api),
      bindDn_(switches.bindDn),
      bindPassword_(bindPassword),
      timeoutSeconds_(switches.timeoutSeconds),
      treeName_(config.treeName),
      userName_(config.userName) {
  std::string problem;
  if (!ParseLdapUrl(config.directoryPath, &url_, &problem) ||
      (!url_.base.empty() && !ParseDn(url_.base, &baseRdns_, &problem))) {
    connectTried_ = true;
    connectResult_ = dirresult::kBadServerUrl;
    lastError_ = config.directoryPath + ": " + problem;
  }
}

bool LdapDirectory::Connected() {
  if (connectTried_) return connectResult_ == dirresult::kOk;
  connectTried_ = true;
  const std::string server = url_.host + ":" + std::to_string(url_.port);
  LdapSession* session = api_.Init(url_.host, url_.port, url_.secure);
  if (!session) {
    connectResult_ = dirresult::kNoSession;
    lastError_ = "no LDAP session could be made for " + server;
    return false;
  }
  connection_ = LdapConnection(api_, session);
  int rc = api_.SetOption(session, ldapoption::kProtocolVersion, ldapoption::kVersion3);
  if (rc == ldapcode::kSuccess)
    rc = api_.SetOption(session, ldapoption::kDeref, ldapoption::kDerefNever);
  if (rc == ldapcode::kSuccess) rc = api_.Connect(session, timeoutSeconds_);
  if (rc == ldapcode::kSuccess) {
    ++roundTrips_;
    rc = api_.SimpleBind(session, ToUtf8(bindDn_), bindPassword_, timeoutSeconds_);
  }
  if (rc != ldapcode::kSuccess) {
    connection_.Reset();
    connectResult_ = dirresult::ServerFailure(rc);
    lastError_ = "the directory server " + server + " could not be used (" + CodeText(rc) +
                 (bindDn_.empty() ? ", anonymous bind)" : ", bind as " + bindDn_ + ")");
    return false;
  }
  return true;
}

std::int32_t LdapDirectory::Failed(int ldapCode) {
  if (NameProblem(ldapCode)) return dirresult::kNoSuchEntry;
  // The server's limit on one answer fails that look-up only: the server is still there.
  if (LimitReached(ldapCode)) return dirresult::ServerFailure(ldapCode);
  if (serverFailure_ == 0) {
    serverFailure_ = ldapCode;
    lastError_ = "the directory server stopped answering (" + CodeText(ldapCode) + ")";
    connection_.Reset();
  }
  return dirresult::ServerFailure(serverFailure_);
}

std::string LdapDirectory::FailureDuringRun() {
  if (serverFailure_ == 0) return {};
  return "The directory server stopped answering during the run (" + CodeText(serverFailure_) +
         "); every name after that counted as no alias.";
}

std::vector<LdapDirectory::Entry> LdapDirectory::Search(const std::string& base,
                                                        LdapScope scope,
                                                        const std::string& filter, int* code) {
  std::vector<Entry> entries;
  ++roundTrips_;
  LdapResult result(api_);
  const int rc = api_.Search(connection_.get(), base, scope, filter, kAttributes,
                             timeoutSeconds_, result.out());
  TakeAnswer(rc, result, code, &entries);
  return entries;
}

std::vector<LdapDirectory::Entry> LdapDirectory::SearchPaged(const std::string& base,
                                                             LdapScope scope,
                                                             const std::string& filter,
                                                             int* code) {
  std::vector<Entry> entries;
  std::string cookie;
  int emptyPages = 0;
  do {
    ++roundTrips_;
    LdapResult result(api_);
    const std::size_t before = entries.size();
    const int rc = api_.SearchPage(connection_.get(), base, scope, filter, kAttributes,
                                   kPageSize, timeoutSeconds_, &cookie, result.out());
    TakeAnswer(rc, result, code, &entries);
    if (*code != ldapcode::kSuccess) return {};
    // A server that keeps promising more and sends nothing would page for ever: its answer
    // is taken as incomplete, as a limit's.
    emptyPages = entries.size() == before ? emptyPages + 1 : 0;
    if (emptyPages > kMaxEmptyPages) {
      *code = ldapcode::kAdminLimitExceeded;
      return {};
    }
  } while (!cookie.empty());
  return entries;
}

void LdapDirectory::TakeAnswer(int rc, const LdapResult& result, int* code,
                               std::vector<Entry>* entries) {
  LdapSession* session = connection_.get();
  // The answer's own code is the one to trust (a library may report a complete answer
  // oddly); without an answer, the call's.
  if (result.get()) {
    int answered = rc;
    std::string matched;
    if (api_.ParseResult(session, result.get(), &answered, &matched) == ldapcode::kSuccess)
      rc = answered;
  }
  *code = rc;
  if (rc != ldapcode::kSuccess) return;
  for (LdapMessage* at = api_.FirstEntry(session, result.get()); at;
       at = api_.NextEntry(session, at)) {
    Entry entry;
    entry.dn = api_.GetDn(session, at);
    std::string problem;
    // An entry with a hex-encoded name cannot be one of ours: left out.
    if (!ParseDn(entry.dn, &entry.rdns, &problem)) continue;
    for (const std::string& objectClass : api_.GetValues(session, at, "objectClass"))
      entry.isAlias = entry.isAlias || EqualsIgnoreCase(objectClass, "alias");
    const std::vector<std::string> targets = api_.GetValues(session, at, "aliasedObjectName");
    if (!targets.empty()) entry.target = targets.front();
    entries->push_back(std::move(entry));
  }
}

const LdapDirectory::Entry* LdapDirectory::ListedAlias(const std::vector<Rdn>& rdns) const {
  for (const Entry& alias : listed_)
    if (SameRdns(alias.rdns, rdns)) return &alias;
  return nullptr;
}

bool LdapDirectory::BelowBase(const Entry& entry) const {
  if (entry.rdns.size() <= baseRdns_.size()) return false;
  const std::vector<Rdn> tail(entry.rdns.end() - static_cast<std::ptrdiff_t>(baseRdns_.size()),
                              entry.rdns.end());
  return SameRdns(tail, baseRdns_);
}

bool LdapDirectory::Fits(const Rdn& rdn, const Component& component) const {
  // The program's names cannot name an entry of several values, as in LdifDirectory.
  if (rdn.verbatim) return false;
  if (!component.type.empty() && !EqualsIgnoreCase(rdn.type, component.type)) return false;
  return EqualsIgnoreCase(rdn.value, component.value);
}

void LdapDirectory::Record(const std::vector<Rdn>& root, bool subtree,
                           const std::vector<std::string>& values,
                           const std::vector<Entry>& entries) {
  for (const std::string& value : values) covered_[UpperAscii(value)].push_back({root, subtree});
  for (const Entry& entry : entries) {
    // A name of several values fits no component, as in LdifDirectory: no one's sibling.
    if (entry.rdns.empty() || entry.rdns.front().verbatim) continue;
    std::vector<Entry>& siblings =
        children_[ChildrenKey(ParentOf(entry.rdns), entry.rdns.front().value)];
    const bool known = std::any_of(siblings.begin(), siblings.end(), [&](const Entry& sibling) {
      return SameRdns(sibling.rdns, entry.rdns);
    });
    if (!known) siblings.push_back(entry);
  }
}

const std::vector<LdapDirectory::Entry>* LdapDirectory::KnownChildren(
    const std::vector<Rdn>& parent, const std::string& value) const {
  static const std::vector<Entry> kNone;
  const auto covers = [&](const Covered& covered) {
    return covered.subtree ? AtOrBelow(parent, covered.root) : SameRdns(parent, covered.root);
  };
  const auto covering = covered_.find(UpperAscii(value));
  const bool known =
      levelsListed_.count(UpperAscii(DnOf(parent))) != 0 ||
      (covering != covered_.end() &&
       std::any_of(covering->second.begin(), covering->second.end(), covers));
  if (!known) return nullptr;
  const auto found = children_.find(ChildrenKey(parent, value));
  return found == children_.end() ? &kNone : &found->second;
}

int LdapDirectory::SearchNamed(const std::vector<Rdn>& root, bool subtree,
                               const std::vector<std::string>& values,
                               std::vector<Entry>* found) {
  int code = 0;
  *found = Search(DnOf(root), subtree ? LdapScope::kSubtree : LdapScope::kOneLevel,
                  AnyNameFilter(values), &code);
  if (code == ldapcode::kSuccess) Record(root, subtree, values, *found);
  return code;
}

int LdapDirectory::ChildrenOf(const std::vector<Rdn>& parent, const std::string& value,
                              std::vector<Entry>* children) {
  if (const std::vector<Entry>* known = KnownChildren(parent, value)) {
    *children = *known;
    return ldapcode::kSuccess;
  }
  std::vector<Entry> found;
  const int code = SearchNamed(parent, false, {value}, &found);
  children->clear();
  // From the answer itself: the server may spell `parent` otherwise than it was asked.
  for (Entry& entry : found)
    if (entry.rdns.size() == parent.size() + 1 && AtOrBelow(entry.rdns, parent) &&
        Fits(entry.rdns.front(), Component{"", value}))
      children->push_back(std::move(entry));
  return code;
}

std::vector<std::pair<std::string, std::vector<Rdn>>> LdapDirectory::ListedTargets(
    const std::vector<Rdn>& at, const Component& leaf) const {
  std::vector<std::pair<std::string, std::vector<Rdn>>> named;
  for (const Entry& alias : listed_) {
    if (alias.rdns.size() != at.size() + 1 || !AtOrBelow(alias.rdns, at) ||
        !Fits(alias.rdns.front(), leaf))
      continue;
    // The chain as far as the listing knows it; a loop ends it.
    std::set<std::string> seen;
    for (const Entry* hop = &alias; hop && seen.insert(UpperAscii(hop->target)).second;) {
      std::vector<Rdn> rdns;
      std::string problem;
      if (!ParseDn(hop->target, &rdns, &problem) || rdns.size() <= baseRdns_.size() ||
          !AtOrBelow(rdns, baseRdns_))
        break;
      for (std::size_t level = 0; level + baseRdns_.size() < rdns.size(); ++level) {
        std::vector<Rdn> parent(rdns.begin() + static_cast<std::ptrdiff_t>(level) + 1, rdns.end());
        if (level == 0 || !KnownChildren(parent, rdns[level].value))
          named.emplace_back(rdns[level].value, std::move(parent));
      }
      hop = ListedAlias(rdns);
    }
  }
  return named;
}

int LdapDirectory::ChildrenOnWalk(const std::vector<Rdn>& at,
                                  const std::vector<Component>& components, std::size_t i,
                                  std::vector<Entry>* children) {
  const Component& component = components[i];
  // A type no naming attribute is: asked as written, below this entry only.
  if (!component.type.empty() && !IsNamingType(component.type)) {
    int code = 0;
    *children = Search(DnOf(at), LdapScope::kOneLevel,
                       "(" + component.type + "=" + EscapeFilterValue(component.value) + ")",
                       &code);
    return code;
  }
  const bool known = KnownChildren(at, component.value) != nullptr;
  if (!known && i + 1 < components.size()) {
    // A container: its whole level, listed once, serves every later name below it (where
    // the server lists it whole).
    int code = 0;
    const std::vector<Entry> found =
        Search(DnOf(at), LdapScope::kOneLevel, "(objectClass=*)", &code);
    if (code == ldapcode::kSuccess) {
      Record(at, false, {}, found);
      levelsListed_.insert(UpperAscii(DnOf(at)));
    } else if (!LimitReached(code)) {
      return code;
    }
  } else if (!known) {
    // The leaf, with the targets of the listed aliases named so (chains followed) and their
    // siblings: following them and writing the answer typeless need no more.
    std::vector<std::string> values{component.value};
    const auto targets = ListedTargets(at, component);
    // Under the entry they all lie below: one level where that is the leaf's container.
    std::vector<Rdn> root = at;
    for (const auto& target : targets) {
      values.push_back(target.first);
      while (!AtOrBelow(target.second, root)) root.erase(root.begin());
    }
    bool subtree = false;
    for (const auto& target : targets) subtree = subtree || !SameRdns(target.second, root);
    std::set<std::string> distinct;
    values.erase(std::remove_if(values.begin(), values.end(),
                                [&](const std::string& value) {
                                  return !distinct.insert(UpperAscii(value)).second;
                                }),
                 values.end());
    std::vector<Entry> found;
    const int code = SearchNamed(root, subtree || root.size() < at.size(), values, &found);
    // A server limit on so wide an answer: the leaf is asked for alone (below).
    const bool narrower = LimitReached(code) && values.size() > 1;
    if (code != ldapcode::kSuccess && !narrower) return code;
  }
  return ChildrenOf(at, component.value, children);
}

// An alias's target, read once however many aliases lead to it: with its siblings named
// alike, so that writing it typeless needs no more.
LdapDirectory::Lookup LdapDirectory::Read(const std::string& dn) {
  const std::string key = UpperAscii(dn);
  if (const auto it = targets_.find(key); it != targets_.end()) return it->second;
  std::vector<Rdn> rdns;
  std::string problem;
  int code = 0;
  std::vector<Entry> found;
  bool named = ParseDn(dn, &rdns, &problem) && !rdns.empty() && !rdns.front().verbatim &&
               IsNamingType(rdns.front().type);
  if (named) {
    code = ChildrenOf(ParentOf(rdns), rdns.front().value, &found);
    // Too many siblings named so for the server's limit: the target alone.
    named = !LimitReached(code);
  }
  if (!named) {
    found = Search(dn, LdapScope::kBase, "(objectClass=*)", &code);
  }
  Lookup lookup{dirresult::kAliasToNothing, {}};
  if (code != ldapcode::kSuccess) {
    const std::int32_t failure = Failed(code);
    if (failure != dirresult::kNoSuchEntry) return {failure, {}};
  } else if (!named && found.size() == 1) {
    lookup = {dirresult::kOk, std::move(found.front())};
  } else if (named) {
    for (Entry& entry : found)
      if (SameRdns(entry.rdns, rdns)) lookup = {dirresult::kOk, std::move(entry)};
  }
  targets_[key] = lookup;
  return lookup;
}

LdapDirectory::Lookup LdapDirectory::Follow(Entry alias, int* hops) {
  std::set<std::string> seen;
  while (alias.isAlias) {
    if (!seen.insert(UpperAscii(DnOf(alias.rdns))).second || ++*hops > kMaxHops)
      return {dirresult::kAliasLoop, {}};
    Lookup next = Read(alias.target);
    if (next.code != dirresult::kOk) return next;
    alias = std::move(next.entry);
  }
  if (!BelowBase(alias)) return {dirresult::kAliasToNothing, {}};
  return {dirresult::kOk, std::move(alias)};
}

LdapDirectory::Lookup LdapDirectory::Resolve(const std::vector<std::string_view>& rootFirst,
                                             bool followLast) {
  if (!Connected()) return {connectResult_, {}};
  const std::string key = MemoKey(rootFirst, followLast);
  std::vector<Component> components;
  for (const std::string_view text : rootFirst) {
    const std::size_t equals = text.find('=');
    Component component;
    if (equals != std::string_view::npos) {
      component.type = std::string(text.substr(0, equals));
      // A typeful component whose type is empty or no attribute type matches nothing.
      if (!IsAttributeType(component.type)) return {dirresult::kNoSuchEntry, {}};
    }
    component.value = ToUtf8(equals == std::string_view::npos ? text : text.substr(equals + 1));
    if (component.value.empty()) return {dirresult::kNoSuchEntry, {}};
    components.push_back(std::move(component));
  }
  if (const auto it = memo_.find(key); it != memo_.end()) return it->second;
  // Once the server stopped answering, only what it answered before is known.
  if (serverFailure_ != 0) return {dirresult::ServerFailure(serverFailure_), {}};

  Lookup lookup;
  if (followLast) {
    // The name itself as FindEntry found it (asked once), then its alias followed.
    lookup = Resolve(rootFirst, false);
    int hops = 0;
    if (lookup.code == dirresult::kOk && lookup.entry.isAlias)
      lookup = Follow(lookup.entry, &hops);
  } else {
    lookup = Walk(components);
  }
  // A server failure is not an answer about the name.
  if (serverFailure_ == 0) memo_[key] = lookup;
  return lookup;
}

// From the base down, one component at a time: the one child named so (two that fit a
// typeless component make the name ambiguous), an alias above the last component followed.
LdapDirectory::Lookup LdapDirectory::Walk(const std::vector<Component>& components) {
  Entry at;
  at.rdns = baseRdns_;
  at.dn = url_.base;
  int hops = 0;
  for (std::size_t i = 0; i < components.size(); ++i) {
    std::vector<Entry> children;
    const int code = ChildrenOnWalk(at.rdns, components, i, &children);
    if (code != ldapcode::kSuccess) return {Failed(code), {}};
    const Entry* child = nullptr;
    int fitting = 0;
    for (const Entry& entry : children)
      if (Fits(entry.rdns.front(), components[i])) {
        child = &entry;
        ++fitting;
      }
    if (fitting != 1) return {dirresult::kNoSuchEntry, {}};
    if (child->isAlias && i + 1 < components.size()) {
      Lookup target = Follow(*child, &hops);
      // Nothing is below an alias that leads nowhere: the name is not there.
      if (target.code == dirresult::kAliasToNothing) return {dirresult::kNoSuchEntry, {}};
      if (target.code != dirresult::kOk) return target;
      at = std::move(target.entry);
    } else {
      at = *child;
    }
  }
  return {dirresult::kOk, std::move(at)};
}

bool LdapDirectory::ComponentsOf(const Entry& entry, std::string_view separators,
                                 std::vector<std::string>* leafFirst) const {
  leafFirst->clear();
  std::string value;
  for (std::size_t i = 0; i + baseRdns_.size() < entry.rdns.size(); ++i) {
    if (entry.rdns[i].verbatim || !Utf8ToAnsi(entry.rdns[i].value, &value) ||
        value.find_first_of(separators) != std::string::npos)
      return false;
    leafFirst->push_back(value);
  }
  return true;
}

std::int32_t LdapDirectory::Dotted(const Entry& entry, bool typeful, std::string* name) {
  std::vector<std::string> values;
  if (entry.rdns.size() <= baseRdns_.size()) return dirresult::kNoSuchEntry;
  if (!ComponentsOf(entry, ".\\", &values)) return dirresult::kNameNotWritable;
  // A typeless name that fits a sibling too would name neither.
  for (std::size_t i = 0; !typeful && i < values.size(); ++i) {
    std::vector<Entry> named;
    const std::vector<Rdn> parent(entry.rdns.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                  entry.rdns.end());
    const int code = ChildrenOf(parent, entry.rdns[i].value, &named);
    if (code != ldapcode::kSuccess) return Failed(code);
    if (named.size() > 1) return dirresult::kNameNotWritable;
  }
  name->clear();
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) name->push_back('.');
    if (typeful) name->append(UpperAscii(entry.rdns[i].type)).push_back('=');
    name->append(values[i]);
  }
  return dirresult::kOk;
}

bool LdapDirectory::Path(const Entry& entry, std::string* path) const {
  std::vector<std::string> values;
  if (!ComponentsOf(entry, "\\", &values)) return false;
  path->clear();
  for (const std::string& value : values) path->insert(0, "\\" + value);
  return true;
}

// The logged-in user's own entry (an alias stays itself: that is the name logged in with).
std::int32_t LdapDirectory::UserEntry(Entry* entry) {
  if (userName_.empty()) return dirresult::kNoSuchEntry;
  const std::vector<std::string_view> rootFirst = DottedRootFirst(userName_);
  if (rootFirst.empty()) return dirresult::kNoSuchEntry;
  if (!Connected()) return connectResult_;
  // Asked before (FindEntry of the same name): the memo answers.
  if (!userAsked_ && memo_.count(MemoKey(rootFirst, false)) == 0) {
    userAsked_ = true;
    if (const std::int32_t failure = ListAtStartUp(rootFirst)) return failure;
  }
  Lookup lookup = Resolve(rootFirst, false);
  if (lookup.code == dirresult::kOk) *entry = std::move(lookup.entry);
  return lookup.code;
}

// The run's first search lists the aliases for ListAliases, widened by every entry named
// like a component of the user's name: the walk of that name then needs no search of its own.
std::int32_t LdapDirectory::ListAtStartUp(const std::vector<std::string_view>& rootFirst) {
  std::vector<std::string> values;
  for (const std::string_view text : rootFirst) {
    const std::string_view value = text.substr(text.find('=') + 1);
    if (value.empty()) return dirresult::kOk;
    values.push_back(ToUtf8(value));
  }
  int code = 0;
  std::vector<Entry> found =
      SearchPaged(url_.base, LdapScope::kSubtree,
                  "(|(objectClass=alias)" + AnyNameFilter(values) + ")", &code);
  if (code != ldapcode::kSuccess) {
    if (!NameProblem(code) && !LimitReached(code)) return Failed(code);
    return dirresult::kOk;
  }
  Record(baseRdns_, true, values, found);
  startListing_ = std::move(found);
  return dirresult::kOk;
}

std::string LdapDirectory::DefaultFullName() {
  Entry user;
  std::string path;
  if (UserEntry(&user) != dirresult::kOk || !Path(user, &path)) path = DottedToPath(userName_);
  return FullNameOfPath(treeName_, path);
}

bool LdapDirectory::FindTree(const std::string& treeName, std::string* userLeafName) {
  if (!EqualsIgnoreCase(treeName, treeName_)) return false;
  Entry user;
  // As the directory spells it.
  if (UserEntry(&user) != dirresult::kOk || !Utf8ToAnsi(user.rdns.front().value, userLeafName))
    *userLeafName = LeafOfUserName(userName_);
  return true;
}

std::string LdapDirectory::GetTreeName(const std::string& fullName) {
  return TreeOfFullName(fullName);
}

bool LdapDirectory::FindEntry(const std::string& fullName) {
  std::string_view tree;
  std::vector<std::string_view> rootFirst;
  if (!SplitFullName(fullName, &tree, &rootFirst)) return false;
  if (!EqualsIgnoreCase(tree, treeName_)) return false;
  // Nothing after the tree's name: the tree itself.
  if (rootFirst.empty()) return true;
  return Resolve(rootFirst, false).code == dirresult::kOk;
}

std::int32_t LdapDirectory::DXCallsInit() {
  if (!Connected()) return connectResult_;
  initialised_ = true;
  return dirresult::kOk;
}

std::int32_t LdapDirectory::DXVRCreateContextHandle(DirContextHandle* context) {
  return contexts_.Create(initialised_, context);
}

std::int32_t LdapDirectory::DXVRGetContext(DirContextHandle context, int key,
                                           std::uint32_t* flags) {
  return contexts_.GetFlags(context, key, flags);
}

std::int32_t LdapDirectory::DXVRSetContextFlags(DirContextHandle context, std::uint32_t flags) {
  return contexts_.SetFlags(context, flags);
}

std::int32_t LdapDirectory::DXVRSetContextName(DirContextHandle context,
                                               const std::string& nameContext) {
  return contexts_.SetName(context, nameContext);
}

std::int32_t LdapDirectory::ReadObjectName(DirContextHandle context, const std::string& leaf,
                                           std::string* objectName) {
  std::int32_t result = dirresult::kOk;
  const ContextTable::Context* state = contexts_.Find(context, &result);
  if (!state) return result;
  if (leaf.empty()) return dirresult::kNoSuchEntry;
  const std::string name = state->nameContext.empty() ? leaf : leaf + "." + state->nameContext;
  const Lookup lookup = Resolve(DottedRootFirst(name), true);
  if (lookup.code != dirresult::kOk) return lookup.code;
  const std::int32_t written =
      Dotted(lookup.entry, !(state->flags & kTypelessNamesFlag), objectName);
  if (written == dirresult::kOk) answered_[UpperAscii(*objectName)] = lookup.entry;
  return written;
}

std::int32_t LdapDirectory::DXVRCanonicalizeName(DirContextHandle context,
                                                 const std::string& name,
                                                 std::string* canonical) {
  std::int32_t result = dirresult::kOk;
  const ContextTable::Context* state = contexts_.Find(context, &result);
  if (!state) return result;
  const bool typeful = !(state->flags & kTypelessNamesFlag);
  if (const auto it = answered_.find(UpperAscii(name)); it != answered_.end())
    return Dotted(it->second, typeful, canonical);
  const std::vector<std::string_view> rootFirst = DottedRootFirst(name);
  // The tree itself has no dotted name.
  if (rootFirst.empty() || (rootFirst.size() == 1 && rootFirst.front().empty()))
    return dirresult::kNoSuchEntry;
  const Lookup lookup = Resolve(rootFirst, false);
  if (lookup.code != dirresult::kOk) return lookup.code;
  return Dotted(lookup.entry, typeful, canonical);
}

bool LdapDirectory::ListAliases(std::vector<DirectoryAlias>* aliases) {
  if (!initialised_ || serverFailure_ != 0) return false;
  int code = ldapcode::kSuccess;
  std::vector<Entry> found;
  if (startListing_) {
    found = std::move(*startListing_);
    startListing_.reset();
  } else {
    found = SearchPaged(url_.base, LdapScope::kSubtree, "(objectClass=alias)", &code);
  }
  // A server that lists only some (a size limit) gives no list: an index needs them all.
  // The names are then looked up one by one.
  if (code != ldapcode::kSuccess) {
    if (!NameProblem(code) && !LimitReached(code)) Failed(code);
    return false;
  }
  aliases->clear();
  listed_.clear();
  for (const Entry& alias : found)
    if (alias.isAlias) listed_.push_back(alias);
  for (const Entry& alias : found) {
    if (!alias.isAlias || !BelowBase(alias)) continue;
    DirectoryAlias listed;
    if (!ComponentsOf(alias, "\\", &listed.name)) continue;
    std::reverse(listed.name.begin(), listed.name.end());
    Entry target;
    std::string problem;
    if (ParseDn(alias.target, &target.rdns, &problem) && BelowBase(target) &&
        ComponentsOf(target, "\\", &listed.target))
      std::reverse(listed.target.begin(), listed.target.end());
    else
      listed.target.clear();
    aliases->push_back(std::move(listed));
  }
  return true;
}

}  // namespace zeb
