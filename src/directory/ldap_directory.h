#pragma once
// Our directory client over a live directory server (/DIRECTORY=ldap://host[:port][/base]):
// it answers every operation the program asks of the client as LdifDirectory answers it from
// a file, by searches through LdapApi.
//
// Names. The program's names are mostly typeless ("Bob.Sales.Acme"); LDAP's are typed.
// A name is found with one one-level search under its container, guessed typed (middle
// components "ou=", the root-most "o=", typeful components as written) for the leaf's value
// in any of the naming attributes; when the container is not there (or is an alias, or the
// leaf is not under it), with one more: a subtree search under the part of the name the
// server reports as matched. Two entries that fit one component ("cn=X" and "ou=X") make
// the name ambiguous: a failure, not a guess (found for the leaf, and for every component
// the second search walks; a container the first search found as guessed is taken). Names compare as LdifDirectory compares them
// (ASCII letters without case, every other character exactly), whatever the server's
// matching rules allow. Aliases above the last component are followed; the last one only
// by ReadObjectName; chains are followed, a loop or a dangling alias is a failure.
// With the aliases listed (ListAliases), a walk that meets a listed alias above the last
// component goes on below its target without reading it, where the guess would stop at a
// listed alias the guess and the search after it are not sent, and the children a search
// found are kept for later walks: only where the answer is the one the full walk gives.
//
// Time. Connecting and every operation wait at most switches.timeoutSeconds. The connection
// is made at the first call that needs it (the start-up asks for the default full name
// before DXCallsInit), once: a server that did not answer then makes DXCallsInit fail. A
// server that stops answering later ends this client's part of the run: every later look-up
// fails at once, and FailureDuringRun() says why.
//
// Texts. The program's byte strings are in the ANSI code page (Windows-1252); LDAP's are
// UTF-8. An object whose name has a character the code page lacks cannot be named (-1021),
// as in LdifDirectory.
//
// Result codes: ldif_result.h and ldap_result.h.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "directory/context_table.h"
#include "directory/directory_client.h"
#include "directory/directory_config.h"
#include "directory/dn.h"
#include "directory/ldap_api.h"
#include "directory/ldap_url.h"

namespace zeb {

class LdapDirectory : public DirectoryClient {
 public:
  // `config.directoryPath` is the server's URL; nothing is sent before the first call.
  LdapDirectory(const DirectoryConfig& config, const ServerSwitches& switches,
                const std::string& bindPassword, LdapApi& api);

  // What went wrong connecting or binding, or during the run; empty when nothing did.
  const std::string& LastError() const { return lastError_; }
  // Searches (each page of a paged one) and binds sent so far.
  int RoundTrips() const { return roundTrips_; }

  std::string FailureDuringRun() override;

  // Session control.
  std::string DefaultFullName() override;
  bool FindTree(const std::string& treeName, std::string* userLeafName) override;

  // Directory control.
  void SetFullName(const std::string& fullName) override { fullName_ = fullName; }
  std::string FullName() override { return fullName_; }
  std::string GetTreeName(const std::string& fullName) override;
  bool FindEntry(const std::string& fullName) override;

  // Client library.
  std::int32_t DXCallsInit() override;
  std::int32_t DXVRCreateContextHandle(DirContextHandle* context) override;
  std::int32_t DXVRGetContext(DirContextHandle context, int key, std::uint32_t* flags) override;
  std::int32_t DXVRSetContextFlags(DirContextHandle context, std::uint32_t flags) override;
  std::int32_t DXVRSetContextName(DirContextHandle context,
                                  const std::string& nameContext) override;
  std::int32_t ReadObjectName(DirContextHandle context, const std::string& leaf,
                              std::string* objectName) override;
  std::int32_t DXVRCanonicalizeName(DirContextHandle context, const std::string& name,
                                    std::string* canonical) override;
  std::uint16_t GetClientKind() override { return 4; }
  ClientVersion GetClientVersion() override { return ClientVersion{5, 2, 0, 0}; }
  void FreeContext(DirContextHandle context) override { contexts_.Free(context); }
  void FreeUnicodeTables() override {}
  // One paged subtree search for every alias below the base.
  bool ListAliases(std::vector<DirectoryAlias>* aliases) override;

 private:
  // One entry as the server gave it.
  struct Entry {
    std::string dn;
    std::vector<Rdn> rdns;  // leaf first, values UTF-8
    bool isAlias = false;
    std::string target;     // aliasedObjectName
  };
  // A component of a name asked for: the type when typeful, the value in UTF-8.
  struct Component {
    std::string type;
    std::string value;
  };
  // How a look-up ended, with the client's result code for the failures.
  struct Lookup {
    std::int32_t code = 0;
    Entry entry;
  };

  bool Connected();
  // Entries of one search; `*code` the LDAP result, `*matched` the matched DN on 32.
  std::vector<Entry> Search(const std::string& base, LdapScope scope, const std::string& filter,
                            int* code, std::string* matched);
  // The same over pages (kPageSize entries each, one round trip each) until the server's
  // cookie ends: every entry of all pages, or the first failing page's code.
  std::vector<Entry> SearchPaged(const std::string& base, LdapScope scope,
                                 const std::string& filter, int* code, std::string* matched);
  // The code of one call's answer (the answer's own where it parses) and, on success, its
  // entries appended to `*entries`.
  void TakeAnswer(int rc, const LdapResult& result, int* code, std::string* matched,
                  std::vector<Entry>* entries);
  // A failing LDAP code as a lookup's result: a name the server cannot find or read, or the
  // server gone (which ends every later look-up).
  std::int32_t Failed(int ldapCode);

  Lookup Resolve(const std::vector<std::string_view>& rootFirst, bool followLast);
  // `proven` false: `from` is an alias's target the listing shows to be no alias, not yet
  // read (its dn the target as aliasedObjectName spells it); the walk's own search tells
  // whether it is there, and where it cannot, the target is read as Follow reads it.
  Lookup Walk(const Entry& from, const std::vector<Component>& components, std::size_t start,
              bool followLast, int hops, bool proven = true);
  // Answers what the walk from `from` would, without its first search (and the search under
  // what that one matched), where a listed alias among the name's containers, or children
  // found before, prove where the typed guess ends: true with `*answer` then.
  bool Shortcut(const Entry& from, const std::vector<Component>& components, std::size_t start,
                int hops, Lookup* answer);
  // The second search's walk at `parent`, the deepest entry the guess matched, met with
  // `children`, its children named like components[at] (without the guessed type: the
  // guess ended at `parent`): true where that tells the answer.
  bool AtParent(const std::vector<Entry>& children, const std::vector<Component>& components,
                std::size_t at, int hops, Lookup* answer);
  // Children of `parent` named `component`'s value by a naming attribute: one search, once.
  const std::vector<Entry>* Children(const std::vector<Rdn>& parent, const Component& component,
                                     int* code);
  // An alias met above the last component followed, then the rest of the name walked.
  Lookup Through(const Entry& alias, const std::vector<Component>& components,
                 std::size_t next, bool followLast, int hops);
  // The end of `alias`'s chain as the listing knows it, with `*hops` counted as Follow counts
  // them: true when that end is below the base, no listed alias and no listed alias's
  // descendant, and every name on the way compares alike for the server and for us.
  bool ListedEnd(const Entry& alias, int* hops, Entry* end) const;
  Lookup FromMatched(const Entry& from, const std::vector<Component>& components,
                     std::size_t start, const std::string& matched, bool followLast, int hops);
  Lookup Follow(Entry alias, int* hops);
  Lookup Read(const std::string& dn);
  // The targets (chains followed through the listing) of the listed aliases under
  // `container` that fit `leaf`, each as aliasedObjectName spells it, with its parsed name.
  std::vector<std::pair<std::string, std::vector<Rdn>>> ListedTargets(
      const std::vector<Rdn>& container, const Component& leaf) const;

  // The listed alias named `rdns`, or null.
  const Entry* ListedAlias(const std::vector<Rdn>& rdns) const;
  bool BelowBase(const Entry& entry) const;
  bool Fits(const Rdn& rdn, const Component& component) const;
  // The values below the base in the code page, leaf first; false when one cannot be
  // written so (a character outside the code page, or one of `separators`).
  bool ComponentsOf(const Entry& entry, std::string_view separators,
                    std::vector<std::string>* leafFirst) const;
  std::int32_t Dotted(const Entry& entry, bool typeful, std::string* name) const;
  bool Path(const Entry& entry, std::string* path) const;
  std::int32_t UserEntry(Entry* entry);
  // The user's entry from the start-up listing, where that listing proves it to be the one
  // the full look-up finds; null otherwise (or after a server failure, `*failure` set).
  const Entry* UserFromListing(const std::vector<std::string_view>& rootFirst,
                               std::int32_t* failure);

  LdapApi& api_;
  LdapUrl url_;
  std::vector<Rdn> baseRdns_;  // leaf first
  std::string bindDn_;
  std::string bindPassword_;
  int timeoutSeconds_;
  std::string treeName_;
  std::string userName_;
  std::string fullName_;

  LdapConnection connection_;
  bool connectTried_ = false;
  std::int32_t connectResult_ = 0;
  bool initialised_ = false;
  int serverFailure_ = 0;  // the LDAP code that ended the run's look-ups, or 0
  std::string lastError_;
  int roundTrips_ = 0;

  ContextTable contexts_;
  // Names looked up before ("1" or "0" for followLast, then the name upper-cased), and the
  // dotted names ReadObjectName answered, so that canonicalizing them needs no round trip.
  std::map<std::string, Lookup> memo_;
  std::map<std::string, Entry> answered_;
  std::map<std::string, Lookup> targets_;  // alias targets read, by DN upper-cased
  // Children of a container, by its DN, "\\" and a value, upper-cased: every child named that
  // value by a naming attribute (and maybe others), as a search below the container found them.
  std::map<std::string, std::vector<Entry>> children_;
  // The aliases and the entries named like the user's leaf, listed by the user's look-up at
  // start-up in one search, so that ListAliases needs no search of its own; used once.
  std::vector<Entry> startListing_;
  bool startListed_ = false;
  bool userAsked_ = false;
  // Every alias as ListAliases found it; empty until it succeeded.
  std::vector<Entry> listed_;
  // Every listed alias is named in plain ASCII (see ListedEnd).
  bool listedPlain_ = false;
};

}  // namespace zeb
