#pragma once
// Our directory client over a live directory server (/DIRECTORY=ldap://host[:port][/base]):
// it answers every operation the program asks of the client as LdifDirectory answers it from
// a file, by searches through LdapApi.
//
// Names. The program's names are mostly typeless ("Bob.Sales.Acme"); LDAP's are typed.
// A name is walked from the base one component at a time, through the children of each
// entry named like the component by any naming attribute; two that fit a typeless component
// ("cn=X" and "ou=X") make the name ambiguous: a failure, not a guess, and an entry with such
// a sibling on any level has no typeless name (-1021), as in LdifDirectory. A container's
// children are listed once (one one-level search; by name where the server's limit cuts the
// list short); the leaf's are asked by name, with the targets of the listed aliases named
// like it and their siblings, so that following them and writing the answer need no more.
// What a search found is kept for every later walk. Names compare as LdifDirectory compares
// them (ASCII letters without case, every other character exactly), whatever the server's
// matching rules allow. Aliases above the last component are followed; the last one only by
// ReadObjectName; chains are followed, a loop or a dangling alias is a failure.
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
#include <optional>
#include <set>
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
  // Entries of one search; `*code` the LDAP result.
  std::vector<Entry> Search(const std::string& base, LdapScope scope, const std::string& filter,
                            int* code);
  // The same over pages (kPageSize entries each, one round trip each) until the server's
  // cookie ends: every entry of all pages, or the first failing page's code.
  std::vector<Entry> SearchPaged(const std::string& base, LdapScope scope,
                                 const std::string& filter, int* code);
  // The code of one call's answer (the answer's own where it parses) and, on success, its
  // entries appended to `*entries`.
  void TakeAnswer(int rc, const LdapResult& result, int* code,
                  std::vector<Entry>* entries);
  // A failing LDAP code as a lookup's result: a name the server cannot find or read, an
  // answer over the server's limit (that look-up only), or the server gone (which ends every
  // later look-up).
  std::int32_t Failed(int ldapCode);

  Lookup Resolve(const std::vector<std::string_view>& rootFirst, bool followLast);
  Lookup Walk(const std::vector<Component>& components);
  Lookup Follow(Entry alias, int* hops);
  Lookup Read(const std::string& dn);

  // What searches told about children. A search under `root` (one level or the subtree)
  // for entries named some values by a naming attribute brings back every child named so
  // of every entry it covers: kept, so that no later walk asks again.
  void Record(const std::vector<Rdn>& root, bool subtree, const std::vector<std::string>& values,
              const std::vector<Entry>& entries);
  // Every child of `parent` named `value` by a naming attribute, where a search told them;
  // null where none did.
  const std::vector<Entry>* KnownChildren(const std::vector<Rdn>& parent,
                                          const std::string& value) const;
  // One search under `root` for entries named one of `values`, its answer recorded; the
  // LDAP result code.
  int SearchNamed(const std::vector<Rdn>& root, bool subtree,
                  const std::vector<std::string>& values, std::vector<Entry>* found);
  // The children of `parent` named `value` (known, or one search); the LDAP result code.
  int ChildrenOf(const std::vector<Rdn>& parent, const std::string& value,
                 std::vector<Entry>* children);
  // The children of `at` the walk meets at components[i].
  int ChildrenOnWalk(const std::vector<Rdn>& at, const std::vector<Component>& components,
                     std::size_t i, std::vector<Entry>* children);
  // The names the listed aliases below `at` named like `leaf` lead to (chains followed
  // through the listing): each target's own, and its containers' where not known yet, with
  // the entry each is a child of.
  std::vector<std::pair<std::string, std::vector<Rdn>>> ListedTargets(
      const std::vector<Rdn>& at, const Component& leaf) const;

  // The listed alias named `rdns`, or null.
  const Entry* ListedAlias(const std::vector<Rdn>& rdns) const;
  bool BelowBase(const Entry& entry) const;
  bool Fits(const Rdn& rdn, const Component& component) const;
  // The values below the base in the code page, leaf first; false when one cannot be
  // written so (a character outside the code page, or one of `separators`).
  bool ComponentsOf(const Entry& entry, std::string_view separators,
                    std::vector<std::string>* leafFirst) const;
  std::int32_t Dotted(const Entry& entry, bool typeful, std::string* name);
  bool Path(const Entry& entry, std::string* path) const;
  std::int32_t UserEntry(Entry* entry);
  // The start-up listing (see UserEntry); a failure only when the server is gone.
  std::int32_t ListAtStartUp(const std::vector<std::string_view>& rootFirst);

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
  // Where searches covered a value (by the value upper-cased), and what they found: by the
  // parent's DN, "\\" and a value, upper-cased, the children named so.
  struct Covered {
    std::vector<Rdn> root;
    bool subtree = false;
  };
  std::map<std::string, std::vector<Covered>> covered_;
  std::map<std::string, std::vector<Entry>> children_;
  // Entries whose every child a one-level search listed, by DN upper-cased.
  std::set<std::string> levelsListed_;
  // The start-up search's answer, so that ListAliases needs no search of its own; used once.
  std::optional<std::vector<Entry>> startListing_;
  bool userAsked_ = false;
  // Every alias as ListAliases found it; empty until it succeeded.
  std::vector<Entry> listed_;
};

}  // namespace zeb
