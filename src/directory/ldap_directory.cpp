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

bool AllNamingTypes(const std::vector<Rdn>& rdns) {
  for (const Rdn& rdn : rdns)
    if (rdn.verbatim || !IsNamingType(rdn.type)) return false;
  return true;
}

// A name the server and SameRdns compare alike: naming types, values of printable ASCII
// (whose only folding is the letters' case) without the spaces a server's matching ignores.
bool Plain(const std::vector<Rdn>& rdns) {
  for (const Rdn& rdn : rdns) {
    if (rdn.verbatim || !IsNamingType(rdn.type) || rdn.value.empty() ||
        rdn.value.front() == ' ' || rdn.value.back() == ' ' ||
        rdn.value.find("  ") != std::string::npos)
      return false;
    for (const char c : rdn.value)
      if (c < ' ' || c > '~') return false;
  }
  return true;
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
                                                        const std::string& filter, int* code,
                                                        std::string* matched) {
  std::vector<Entry> entries;
  ++roundTrips_;
  LdapResult result(api_);
  const int rc = api_.Search(connection_.get(), base, scope, filter, kAttributes,
                             timeoutSeconds_, result.out());
  TakeAnswer(rc, result, code, matched, &entries);
  return entries;
}

std::vector<LdapDirectory::Entry> LdapDirectory::SearchPaged(const std::string& base,
                                                             LdapScope scope,
                                                             const std::string& filter,
                                                             int* code, std::string* matched) {
  std::vector<Entry> entries;
  std::string cookie;
  int emptyPages = 0;
  do {
    ++roundTrips_;
    LdapResult result(api_);
    const std::size_t before = entries.size();
    const int rc = api_.SearchPage(connection_.get(), base, scope, filter, kAttributes,
                                   kPageSize, timeoutSeconds_, &cookie, result.out());
    TakeAnswer(rc, result, code, matched, &entries);
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

void LdapDirectory::TakeAnswer(int rc, const LdapResult& result, int* code, std::string* matched,
                               std::vector<Entry>* entries) {
  matched->clear();
  LdapSession* session = connection_.get();
  // The answer's own code is the one to trust (a library may report a complete answer
  // oddly); without an answer, the call's.
  if (result.get()) {
    int answered = rc;
    if (api_.ParseResult(session, result.get(), &answered, matched) == ldapcode::kSuccess)
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

// An alias's target, read once however many aliases lead to it.
LdapDirectory::Lookup LdapDirectory::Read(const std::string& dn) {
  const std::string key = UpperAscii(dn);
  if (const auto it = targets_.find(key); it != targets_.end()) return it->second;
  int code = 0;
  std::string matched;
  std::vector<Entry> found = Search(dn, LdapScope::kBase, "(objectClass=*)", &code, &matched);
  Lookup lookup{dirresult::kAliasToNothing, {}};
  if (code != ldapcode::kSuccess) {
    const std::int32_t failure = Failed(code);
    if (failure != dirresult::kNoSuchEntry) return {failure, {}};
  } else if (found.size() == 1) {
    lookup = {dirresult::kOk, std::move(found.front())};
  }
  targets_[key] = lookup;
  return lookup;
}

std::vector<std::pair<std::string, std::vector<Rdn>>> LdapDirectory::ListedTargets(
    const std::vector<Rdn>& container, const Component& leaf) const {
  std::vector<std::pair<std::string, std::vector<Rdn>>> targets;
  // Only where every name involved compares as the server compares it (naming types,
  // ASCII case only), so that "the same name" means the same entry to both.
  if (listed_.empty() || !AllNamingTypes(container) ||
      (!leaf.type.empty() && !IsNamingType(leaf.type)))
    return targets;
  for (const Entry& alias : listed_) {
    if (alias.rdns.size() != container.size() + 1 || !Fits(alias.rdns.front(), leaf) ||
        !SameRdns(std::vector<Rdn>(alias.rdns.begin() + 1, alias.rdns.end()), container))
      continue;
    // The chain as far as the listing knows it; a loop ends it.
    const Entry* at = &alias;
    for (int hop = 0; at && hop < kMaxHops; ++hop) {
      std::vector<Rdn> rdns;
      std::string problem;
      if (!ParseDn(at->target, &rdns, &problem) || rdns.empty() || !AllNamingTypes(rdns))
        return {};
      bool seen = false;
      for (const auto& known : targets) seen = seen || SameRdns(known.second, rdns);
      if (seen) break;
      targets.emplace_back(at->target, rdns);
      at = ListedAlias(rdns);
    }
  }
  return targets;
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

bool LdapDirectory::ListedEnd(const Entry& alias, int* hops, Entry* end) const {
  if (!listedPlain_) return false;
  std::set<std::string> seen;
  int counted = *hops;
  for (const Entry* at = &alias;;) {
    // A loop is left to Follow, which tells it.
    if (!seen.insert(UpperAscii(DnOf(at->rdns))).second || ++counted > kMaxHops) return false;
    std::vector<Rdn> rdns;
    std::string problem;
    if (!ParseDn(at->target, &rdns, &problem) || !Plain(rdns)) return false;
    if (const Entry* next = ListedAlias(rdns)) {
      at = next;
      continue;
    }
    end->dn = at->target;
    end->rdns = std::move(rdns);
    end->isAlias = false;
    end->target.clear();
    if (!BelowBase(*end)) return false;
    // Below an alias there is nothing: a dangling alias, which Follow tells.
    for (std::size_t i = 1; i < end->rdns.size(); ++i)
      if (ListedAlias(std::vector<Rdn>(end->rdns.begin() + static_cast<std::ptrdiff_t>(i),
                                       end->rdns.end())))
        return false;
    *hops = counted;
    return true;
  }
}

const std::vector<LdapDirectory::Entry>* LdapDirectory::Children(const std::vector<Rdn>& parent,
                                                                const Component& component,
                                                                int* code) {
  const std::string key = ChildrenKey(parent, component.value);
  *code = ldapcode::kSuccess;
  if (const auto it = children_.find(key); it != children_.end()) return &it->second;
  std::string matched;
  std::vector<Entry> found =
      Search(DnOf(parent), LdapScope::kOneLevel, AnyNameFilter({component.value}), code, &matched);
  if (*code != ldapcode::kSuccess) return nullptr;
  return &(children_[key] = std::move(found));
}

bool LdapDirectory::AtParent(const std::vector<Entry>& children,
                             const std::vector<Component>& components, std::size_t at, int hops,
                             Lookup* answer) {
  const Entry* child = nullptr;
  int fitting = 0;
  for (const Entry& entry : children)
    if (Fits(entry.rdns.front(), components[at])) {
      child = &entry;
      ++fitting;
    }
  if (fitting != 1) {
    *answer = {dirresult::kNoSuchEntry, {}};
    return true;
  }
  // An entry that is no alias: the second search would walk on through what it found, which
  // these children do not show.
  if (!child->isAlias) return false;
  *answer = ++hops > kMaxHops ? Lookup{dirresult::kAliasLoop, {}}
                              : Through(*child, components, at + 1, false, hops);
  return true;
}

// The walk's first search asks one level below the guessed container. Where the guess
// passes through an alias, the server answers "no such object" matched at that alias, and
// the second search finds the alias itself; where the guess names a child that is not there
// below an entry that is, it answers matched at that entry, and the second search's walk
// meets that entry's children named like the next component. Both are known without
// asking: the listing names the aliases, and a one-level search for the component (made
// once per container and value) names those children.
bool LdapDirectory::Shortcut(const Entry& from, const std::vector<Component>& components,
                             std::size_t start, int hops, Lookup* answer) {
  // A type the server may not know could make it refuse the guessed name instead.
  for (std::size_t i = start; i < components.size(); ++i)
    if (!components[i].type.empty() && !IsNamingType(components[i].type)) return false;
  const auto guessed = [&](std::size_t i) -> std::string {
    if (!components[i].type.empty()) return components[i].type;
    return i == 0 && from.rdns.size() == baseRdns_.size() ? "o" : "ou";
  };
  // The children of `parent` (the guess matched as far as it, the next guessed child
  // missing) as the second search's walk meets them.
  const auto below = [&](const std::vector<Rdn>& parent, std::size_t at) {
    int code = 0;
    const std::vector<Entry>* children = Children(parent, components[at], &code);
    if (!children) {
      if (NameProblem(code)) return false;
      *answer = {Failed(code), {}};
      return true;
    }
    for (const Entry& child : *children)
      if (EqualsIgnoreCase(child.rdns.front().type, guessed(at))) return false;
    return AtParent(*children, components, at, hops, answer);
  };
  for (const Entry& alias : listed_) {
    if (alias.rdns.size() <= from.rdns.size() || !AtOrBelow(alias.rdns, from.rdns)) continue;
    const std::size_t at = start + (alias.rdns.size() - from.rdns.size()) - 1;
    if (at + 1 >= components.size()) continue;
    bool fits = true;
    for (std::size_t i = start; i <= at && fits; ++i) {
      const Rdn& rdn = alias.rdns[at - i];
      fits = Fits(rdn, components[i]) && (i == at || EqualsIgnoreCase(rdn.type, guessed(i)));
    }
    if (!fits) continue;
    if (EqualsIgnoreCase(alias.rdns.front().type, guessed(at))) {
      *answer = Through(alias, components, at + 1, false, hops);
      return true;
    }
    if (below(std::vector<Rdn>(alias.rdns.begin() + 1, alias.rdns.end()), at)) return true;
  }
  // Children of `from` found before.
  if (children_.count(ChildrenKey(from.rdns, components[start].value)) != 0)
    return below(from.rdns, start);
  return false;
}

LdapDirectory::Lookup LdapDirectory::Through(const Entry& alias,
                                             const std::vector<Component>& components,
                                             std::size_t next, bool followLast, int hops) {
  // The listing spares reading the target: the walk below it finds it with its first search.
  // A target read before is taken as read.
  Entry end;
  int counted = hops;
  if (ListedEnd(alias, &counted, &end) && targets_.count(UpperAscii(end.dn)) == 0)
    return Walk(end, components, next, followLast, counted, false);
  const Lookup target = Follow(alias, &hops);
  if (target.code != dirresult::kOk) return target;
  return Walk(target.entry, components, next, followLast, hops);
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
    Entry base;
    base.rdns = baseRdns_;
    base.dn = url_.base;
    lookup = Walk(base, components, 0, false, 0);
  }
  // A server failure is not an answer about the name.
  if (serverFailure_ == 0) memo_[key] = lookup;
  return lookup;
}

// Finds components[start..] below `from`, a container that is no alias.
LdapDirectory::Lookup LdapDirectory::Walk(const Entry& from,
                                          const std::vector<Component>& components,
                                          std::size_t start, bool followLast, int hops,
                                          bool proven) {
  // The container guessed typed: the root-most "o=", the others "ou=".
  std::vector<Rdn> container = from.rdns;
  for (std::size_t i = start; i + 1 < components.size(); ++i) {
    const Component& component = components[i];
    const bool rootMost = i == 0 && from.rdns.size() == baseRdns_.size();
    container.insert(container.begin(),
                     Rdn{component.type.empty() ? (rootMost ? "o" : "ou") : component.type,
                         component.value});
  }
  // Without the listing every walk is the full one (which the listing's answers are held to).
  if (!listed_.empty() && start + 1 < components.size() && !followLast) {
    Lookup answer;
    if (Shortcut(from, components, start, hops, &answer)) return answer;
  }
  const Component& leaf = components.back();
  const std::string filter =
      leaf.type.empty() ? AnyNameFilter({leaf.value})
                        : "(" + leaf.type + "=" + EscapeFilterValue(leaf.value) + ")";
  int code = 0;
  std::string matched;
  const std::string containerDn = DnOf(container);
  // A leaf the listing shows to be an alias: its target comes back with the same search
  // (its name added to the filter; a target elsewhere makes it a subtree search under the
  // entry both lie below), so that following the alias needs no read of its own. The
  // container's children in the answer are the ones the plain search gives: one that fits
  // the leaf is named by a naming attribute, so the leaf's filter alone finds it too; one
  // of another type is not proven so, and then the plain search is made. (A server writes
  // every child of one entry below that entry's name, which is what tells the children of
  // a subtree search.)
  const auto targets =
      proven ? ListedTargets(container, leaf)
             : std::vector<std::pair<std::string, std::vector<Rdn>>>();
  std::vector<Rdn> below = container;
  bool beside = true;
  for (const auto& target : targets) {
    const std::vector<Rdn>& rdns = target.second;
    beside = beside && rdns.size() == container.size() + 1 &&
             SameRdns(std::vector<Rdn>(rdns.begin() + 1, rdns.end()), container);
    while (below.size() >= rdns.size() ||
           !SameRdns(below, std::vector<Rdn>(rdns.end() - static_cast<std::ptrdiff_t>(below.size()),
                                             rdns.end())))
      below.erase(below.begin());
  }
  std::vector<Entry> found;
  bool plain = true;
  if (!targets.empty() && below.size() >= baseRdns_.size()) {
    std::string asked = "(|" + filter;
    for (const auto& target : targets)
      asked.append("(" + target.second.front().type + "=" +
                   EscapeFilterValue(target.second.front().value) + ")");
    asked += ")";
    const LdapScope scope = beside ? LdapScope::kOneLevel : LdapScope::kSubtree;
    std::vector<Entry> all = Search(beside ? containerDn : DnOf(below), scope, asked, &code,
                                    &matched);
    // Under the container itself the answer is the plain one's, failures and the matched
    // name included; under an entry above it, a name problem is that entry's, not the
    // container's.
    plain = !beside && code != ldapcode::kSuccess && NameProblem(code);
    if (code == ldapcode::kSuccess) {
      bool alias = false;
      for (const Entry& entry : all) {
        if (!beside &&
            (entry.rdns.size() != container.size() + 1 ||
             !SameRdns(std::vector<Rdn>(entry.rdns.begin() + 1, entry.rdns.end()), container)))
          continue;
        if (Fits(entry.rdns.front(), leaf) && !IsNamingType(entry.rdns.front().type)) plain = true;
        alias = alias || (entry.isAlias && Fits(entry.rdns.front(), leaf));
        found.push_back(entry);
      }
      // Without the alias the listing promised, the container may not be there at all:
      // what the plain search says then is wanted.
      if (!beside && !alias) plain = true;
      for (const auto& target : targets)
        for (const Entry& entry : all)
          if (SameRdns(entry.rdns, target.second))
            targets_.emplace(UpperAscii(target.first), Lookup{dirresult::kOk, entry});
    }
  }
  // The leaf's siblings named so, found before (the container is `from`): the answer is known.
  if (plain && !listed_.empty() && leaf.type.empty() && start + 1 == components.size()) {
    if (const auto it = children_.find(ChildrenKey(container, leaf.value)); it != children_.end()) {
      found = it->second;
      code = ldapcode::kSuccess;
      plain = false;
    }
  }
  if (plain) found = Search(containerDn, LdapScope::kOneLevel, filter, &code, &matched);
  if (!proven && NameProblem(code)) {
    // An answer from inside `from` shows it is there; any other, that it may not be: then it
    // is read first, as following the alias reads it, and the walk made anew from what came.
    std::vector<Rdn> matchedRdns;
    std::string problem;
    if (code != ldapcode::kNoSuchObject || !ParseDn(matched, &matchedRdns, &problem) ||
        !AtOrBelow(matchedRdns, from.rdns)) {
      Lookup target = Read(from.dn);
      if (target.code == dirresult::kOk && target.entry.isAlias)
        target = Follow(target.entry, &hops);
      if (target.code != dirresult::kOk) return target;
      if (!BelowBase(target.entry)) return {dirresult::kAliasToNothing, {}};
      return Walk(target.entry, components, start, followLast, hops);
    }
  }
  if (code == ldapcode::kNoSuchObject)
    return FromMatched(from, components, start, matched, followLast, hops);
  if (code != ldapcode::kSuccess) return {Failed(code), {}};
  if (plain && leaf.type.empty()) children_.emplace(ChildrenKey(container, leaf.value), found);

  std::vector<const Entry*> fitting;
  for (const Entry& entry : found) {
    if (entry.rdns.size() != container.size() + 1 || !Fits(entry.rdns.front(), leaf)) continue;
    // The server matched the container by its own rules; ours may differ (accents' case).
    bool same = true;
    for (std::size_t i = start; i + 1 < components.size(); ++i)
      same = same && Fits(entry.rdns[components.size() - 1 - i], components[i]);
    if (same) fitting.push_back(&entry);
  }
  // The container is there but holds no such leaf: it may be an alias, or the guess typed
  // a component wrongly. The search under the container tells. Without a guessed component
  // the container is `from`, no alias, and that search would find only what this one did.
  if (fitting.empty() && start + 1 == components.size()) return {dirresult::kNoSuchEntry, {}};
  if (fitting.empty()) return FromMatched(from, components, start, containerDn, followLast, hops);
  if (fitting.size() > 1) return {dirresult::kNoSuchEntry, {}};
  const Entry& entry = *fitting.front();
  if (entry.isAlias && followLast) return Follow(entry, &hops);
  return {dirresult::kOk, entry};
}

// The second try: one subtree search under the deepest entry the server matched, for the
// components not yet matched (and the matched one itself, which may be an alias), then the
// name walked down through what came back.
LdapDirectory::Lookup LdapDirectory::FromMatched(const Entry& from,
                                                 const std::vector<Component>& components,
                                                 std::size_t start, const std::string& matched,
                                                 bool followLast, int hops) {
  std::vector<Rdn> matchedRdns;
  std::string problem;
  if (matched.empty() || !ParseDn(matched, &matchedRdns, &problem) ||
      !AtOrBelow(matchedRdns, from.rdns))
    matchedRdns = from.rdns;
  std::size_t depth = matchedRdns.size() - from.rdns.size();  // components the server matched
  if (depth >= components.size() - start) depth = components.size() - start - 1;
  matchedRdns.erase(matchedRdns.begin(),
                    matchedRdns.end() - static_cast<std::ptrdiff_t>(from.rdns.size() + depth));
  std::vector<std::string> values;
  if (depth > 0) values.push_back(matchedRdns.front().value);
  for (std::size_t i = start + depth; i < components.size(); ++i)
    values.push_back(components[i].value);

  int code = 0;
  std::string deeper;
  const std::vector<Entry> found =
      Search(DnOf(matchedRdns), LdapScope::kSubtree, AnyNameFilter(values), &code, &deeper);
  if (code != ldapcode::kSuccess) return {Failed(code), {}};

  // The matched components, as ours compare them.
  for (std::size_t i = 0; i < depth; ++i)
    if (!Fits(matchedRdns[depth - 1 - i], components[start + i])) return {dirresult::kNoSuchEntry, {}};
  Entry at = from;
  if (depth > 0) {
    const Entry* self = nullptr;
    for (const Entry& entry : found)
      if (SameRdns(entry.rdns, matchedRdns)) self = &entry;
    if (!self) return {dirresult::kNoSuchEntry, {}};
    at = *self;
    if (at.isAlias) return Through(at, components, start + depth, followLast, hops);
  }
  for (std::size_t i = start + depth; i < components.size(); ++i) {
    const Entry* child = nullptr;
    int fitting = 0;
    // Every child of `at` named like this component came back (with others named like
    // another): kept for the walks that meet this entry again.
    std::vector<Entry> children;
    for (const Entry& entry : found) {
      if (entry.rdns.size() != at.rdns.size() + 1) continue;
      const std::vector<Rdn> parent(entry.rdns.begin() + 1, entry.rdns.end());
      if (!SameRdns(parent, at.rdns)) continue;
      children.push_back(entry);
      if (!Fits(entry.rdns.front(), components[i])) continue;
      child = &entry;
      ++fitting;
    }
    children_.emplace(ChildrenKey(at.rdns, components[i].value), std::move(children));
    if (fitting == 0) return {dirresult::kNoSuchEntry, {}};
    if (fitting > 1) return {dirresult::kNoSuchEntry, {}};
    const bool last = i + 1 == components.size();
    if (child->isAlias && (!last || followLast)) {
      if (++hops > kMaxHops) return {dirresult::kAliasLoop, {}};
      if (last) return Follow(*child, &hops);
      return Through(*child, components, i + 1, followLast, hops);
    }
    at = *child;
  }
  return {dirresult::kOk, at};
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

std::int32_t LdapDirectory::Dotted(const Entry& entry, bool typeful, std::string* name) const {
  std::vector<std::string> values;
  if (entry.rdns.size() <= baseRdns_.size()) return dirresult::kNoSuchEntry;
  if (!ComponentsOf(entry, ".\\", &values)) return dirresult::kNameNotWritable;
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
    std::int32_t failure = dirresult::kOk;
    if (const Entry* listed = UserFromListing(rootFirst, &failure)) {
      *entry = *listed;
      memo_[MemoKey(rootFirst, false)] = {dirresult::kOk, *entry};
      return dirresult::kOk;
    }
    if (failure != dirresult::kOk) return failure;
  }
  Lookup lookup = Resolve(rootFirst, false);
  if (lookup.code == dirresult::kOk) *entry = std::move(lookup.entry);
  return lookup.code;
}

// The user's look-up would search one level below the guessed container (the root-most
// component "o=", the others "ou=") for entries named like the leaf. The subtree search for
// the aliases, widened by the leaf's filter, returns those children too, with the aliases:
// one that fits the leaf is named so by a naming attribute and so is in both answers, and
// the look-up takes only those. Its answer is then known where exactly one fits.
const LdapDirectory::Entry* LdapDirectory::UserFromListing(
    const std::vector<std::string_view>& rootFirst, std::int32_t* failure) {
  std::vector<Rdn> container = baseRdns_;
  for (std::size_t i = 0; i + 1 < rootFirst.size(); ++i)
    container.insert(container.begin(), Rdn{i == 0 ? "o" : "ou", ToUtf8(rootFirst[i])});
  const Component leaf{"", ToUtf8(rootFirst.back())};
  std::vector<Rdn> named = container;
  named.insert(named.begin(), Rdn{"cn", leaf.value});
  // Only names the server compares as we do.
  for (const std::string_view text : rootFirst)
    if (text.empty() || text.find('=') != std::string_view::npos) return nullptr;
  if (!Plain(named)) return nullptr;
  int code = 0;
  std::string matched;
  std::vector<Entry> found =
      SearchPaged(url_.base, LdapScope::kSubtree,
                  "(|(objectClass=alias)" + AnyNameFilter({leaf.value}) + ")", &code, &matched);
  if (code != ldapcode::kSuccess) {
    if (!NameProblem(code) && !LimitReached(code)) *failure = Failed(code);
    return nullptr;
  }
  startListing_ = std::move(found);
  startListed_ = true;
  const Entry* user = nullptr;
  for (const Entry& entry : startListing_) {
    if (entry.rdns.size() != container.size() + 1 ||
        !SameRdns(std::vector<Rdn>(entry.rdns.begin() + 1, entry.rdns.end()), container))
      continue;
    if (!Fits(entry.rdns.front(), leaf)) continue;
    if (user) return nullptr;
    user = &entry;
  }
  return user;
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
  std::string matched;
  std::vector<Entry> found;
  if (startListed_) {
    found = std::move(startListing_);
    startListing_.clear();
    startListed_ = false;
  } else {
    found = SearchPaged(url_.base, LdapScope::kSubtree, "(objectClass=alias)", &code, &matched);
  }
  // A server that lists only some (a size limit) gives no list: an index needs them all.
  // The names are then looked up one by one.
  if (code != ldapcode::kSuccess) {
    if (!NameProblem(code) && !LimitReached(code)) Failed(code);
    return false;
  }
  aliases->clear();
  listed_.clear();
  listedPlain_ = true;
  for (const Entry& alias : found) {
    if (!alias.isAlias) continue;
    listed_.push_back(alias);
    listedPlain_ = listedPlain_ && Plain(alias.rdns);
  }
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
