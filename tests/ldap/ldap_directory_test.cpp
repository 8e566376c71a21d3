// LdapDirectory against a real slapd (acme.ldif, acme-extra.ldif, edge-cases.ldif): the same
// answers as LdifDirectory gives from acme.ldif, the edge cases only a server has, the
// round trips a look-up costs, and a server that is gone or stops answering.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "directory/ldap_directory.h"
#include "directory/ldap_result.h"
#include "directory/ldif_directory.h"
#include "directory/ldif_result.h"
#include "directory/ldif.h"
#include "platform/code_page_1252.h"
#include "platform/text.h"
#include "directory/names.h"
#include "ldap/forwarding_ldap_api.h"
#include "ldap/ldap_test_backend.h"
#include "support/recording_view.h"
#include "support/sample_paths.h"

namespace zeb {
namespace {

const std::string kTree = "VRX:\\\\ACME_TREE";

using testing::RecordingView;

DirectoryConfig ServerConfig(const std::string& url) {
  return DirectoryConfig{url, "ACME_TREE", "Robert.Sales.Acme"};
}

ServerSwitches Switches(int timeoutSeconds = 5, const std::string& bindDn = "") {
  return ServerSwitches{timeoutSeconds, bindDn};
}

// A client brought up the way the start-up does it, typeless names asked for.
DirContextHandle StartUp(DirectoryClient& directory) {
  DirContextHandle context = 0;
  EXPECT_EQ(directory.DXCallsInit(), 0);
  EXPECT_EQ(directory.DXVRCreateContextHandle(&context), 0);
  EXPECT_EQ(directory.DXVRSetContextFlags(context, kTypelessNamesFlag), 0);
  return context;
}

// Everything a client answers about one dotted name, as one text to compare.
std::string Answers(DirectoryClient& directory, DirContextHandle context,
                    const std::string& dotted) {
  std::string text;
  for (const std::uint32_t flags : {kTypelessNamesFlag, 0u}) {
    EXPECT_EQ(directory.DXVRSetContextFlags(context, flags), 0);
    const std::size_t dot = dotted.find('.');
    EXPECT_EQ(directory.DXVRSetContextName(
                  context, dot == std::string::npos ? "" : dotted.substr(dot + 1)),
              0);
    std::string object;
    std::int32_t code = directory.ReadObjectName(context, dotted.substr(0, dot), &object);
    text += "read " + std::to_string(code) + " " + object + "; ";
    std::string canonical;
    code = directory.DXVRCanonicalizeName(context, dotted, &canonical);
    text += "canonical " + std::to_string(code) + " " + canonical + "; ";
  }
  EXPECT_EQ(directory.DXVRSetContextFlags(context, kTypelessNamesFlag), 0);
  RecordingView view;
  DirectoryNames names(directory, context, "ACME_TREE", view);
  const std::string full = kTree + DottedToPath(dotted);
  std::string target;
  const bool alias = names.ResolveAlias(full, &target);
  text += std::string("entry ") + (directory.FindEntry(full) ? "yes" : "no") + "; alias " +
          (alias ? target : "no");
  return text;
}

class LdapDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(testing::TestServerUrl().empty()) << "run by tests/ldap/with-slapd.sh";
  }
  LdapDirectory directory{ServerConfig(testing::TestServerUrl()), Switches(), "",
                          testing::TestLdapApi()};
};

// The typeless, typeful and upper-cased dotted names of every entry of an LDIF file, in the
// code page; names through the container aliases are added by the callers.
std::vector<std::string> NamesOf(const std::string& path) {
  std::vector<std::string> names;
  for (const LdifRecord& record : ReadLdifFile(path).records) {
    std::vector<Rdn> rdns;
    std::string problem, typeless, typeful, value;
    if (!ParseDn(record.dn, &rdns, &problem) || EqualsIgnoreCase(rdns.back().type, "t")) continue;
    bool writable = true;
    for (const Rdn& rdn : rdns) {
      writable = writable && Utf8ToAnsi(rdn.value, &value);
      typeless += (typeless.empty() ? "" : ".") + value;
      typeful += (typeful.empty() ? "" : ".") + rdn.type + "=" + value;
    }
    if (!writable) continue;
    names.insert(names.end(), {typeless, typeful, UpperAscii(typeless)});
  }
  return names;
}

// Both directories answer alike for every name; the server holds at least the file's entries.
void ExpectSameAnswers(DirectoryClient& server, const std::string& path,
                       std::vector<std::string> names) {
  LdifDirectory file(DirectoryConfig{path, "ACME_TREE", "Robert.Sales.Acme"});
  ASSERT_EQ(file.DXCallsInit(), 0) << file.LastError();
  const DirContextHandle fileContext = StartUp(file);
  const DirContextHandle serverContext = StartUp(server);
  const std::vector<std::string> everyEntry = NamesOf(path);
  ASSERT_GT(everyEntry.size(), 20u);
  names.insert(names.end(), everyEntry.begin(), everyEntry.end());
  // Names of nothing: a missing leaf or container, wrong types, empty components.
  names.insert(names.end(), {"Nobody.Sales.Acme", "Bob.Nope.Acme", "Robert.Acme", "Sales",
                             "Acme.Sales", "OU=Bob.Sales.Acme", "CN=Sales.Acme",
                             "Bob.Sales.O=Nope", "Bob..Acme", "X=Bob.Sales.Acme",
                             "=Bob.Sales.Acme", "Nobody", ".", ""});
  for (const std::string& name : names)
    EXPECT_EQ(Answers(server, serverContext, name), Answers(file, fileContext, name)) << name;
  EXPECT_EQ(server.DefaultFullName(), file.DefaultFullName());
  std::string serverLeaf, fileLeaf;
  EXPECT_TRUE(server.FindTree("acme_tree", &serverLeaf));
  EXPECT_TRUE(file.FindTree("acme_tree", &fileLeaf));
  EXPECT_EQ(serverLeaf, fileLeaf);
  EXPECT_FALSE(server.FindTree("OTHER_TREE", &serverLeaf));
  EXPECT_TRUE(server.FindEntry("\\\\ACME_TREE\\Acme\\Sales"));
  EXPECT_TRUE(server.FindEntry("\\\\ACME_TREE"));
  EXPECT_FALSE(server.FindEntry("\\\\OTHER_TREE\\Acme"));
  EXPECT_EQ(server.FailureDuringRun(), "");
}

std::vector<std::string> Listed(DirectoryClient& directory) {
  std::vector<DirectoryAlias> aliases;
  EXPECT_TRUE(directory.ListAliases(&aliases));
  std::vector<std::string> listed;
  for (const DirectoryAlias& alias : aliases) {
    std::string text;
    for (const std::string& part : alias.name) text += "\\" + part;
    text += " ->";
    for (const std::string& part : alias.target) text += "\\" + part;
    listed.push_back(text);
  }
  std::sort(listed.begin(), listed.end());
  return listed;
}

TEST_F(LdapDirectoryTest, AnswersAsTheLdifDirectoryDoesForEveryNameOfTheFile) {
  ExpectSameAnswers(directory, std::string(ZEB_SOURCE_DIR) + "/tests/ldap/acme.ldif",
                    {"CN=Bob.OU=Sales.O=Acme", "cn=q1.ou=sales.o=acme", ".Q1.Sales.Acme",
                     "CN=Robert.Sales.Acme", "Bob.OU=Sales.Acme", "O=Acme"});
}

// Run against a slapd holding the sample directory alone.
TEST(LdapSampleDirectory, AnswersAsTheLdifDirectoryDoesForEveryNameOfTheSample) {
  LdapDirectory server(ServerConfig(testing::TestServerUrl()), Switches(), "",
                       testing::TestLdapApi());
  const std::string sample = testing::SampleDirectoryFile();
  ExpectSameAnswers(server, sample,
                    {"Q2.Old.Acme", "Alice.Old.Acme", "Nobody.Old.Acme", "Zoe.Old.Acme",
                     "Zo\xE9.\xC9quipe.Acme", "ZO\xC9.\xC9QUIPE.ACME", "Zoe.Sales.Acme",
                     "Rob.Sales.Acme", "Old.Acme", "SYS.Unit.Org", "APPS.SYS.Unit.Org"});
  LdifDirectory file(DirectoryConfig{sample, "ACME_TREE", "Robert.Sales.Acme"});
  ASSERT_EQ(file.DXCallsInit(), 0);
  EXPECT_EQ(Listed(server), Listed(file));
  EXPECT_EQ(Listed(server).size(), 7u);
}

TEST_F(LdapDirectoryTest, ChainsAndContainerAliasesAreFollowedLoopsAndDanglingAliasesFail) {
  const DirContextHandle context = StartUp(directory);
  std::string object;
  EXPECT_EQ(directory.ReadObjectName(context, "Rob.Marketing.Acme", &object), 0);
  EXPECT_EQ(object, "Robert.Sales.Acme");
  EXPECT_EQ(directory.ReadObjectName(context, "Robert.Vente.Acme", &object), 0);
  EXPECT_EQ(object, "Robert.Sales.Acme");
  EXPECT_EQ(directory.ReadObjectName(context, "Q1.Vente.Acme", &object), 0);
  EXPECT_EQ(object, "Q2.Sales.Acme");
  EXPECT_EQ(directory.ReadObjectName(context, "Robert.Desk.Acme", &object), 0);
  EXPECT_EQ(object, "Robert.Sales.Acme");
  EXPECT_EQ(directory.ReadObjectName(context, "Bob.Other", &object), 0);
  EXPECT_EQ(object, "Robert.Sales.Acme");
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Vente\\Robert"));
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Vente"));

  EXPECT_EQ(directory.ReadObjectName(context, "LoopA.Marketing.Acme", &object),
            dirresult::kAliasLoop);
  EXPECT_EQ(directory.ReadObjectName(context, "Ghost.Marketing.Acme", &object),
            dirresult::kAliasToNothing);
  // Both are entries; only following them fails.
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Marketing\\Ghost"));
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Marketing\\LoopA"));
  RecordingView view;
  DirectoryNames names(directory, context, "ACME_TREE", view);
  std::string target;
  EXPECT_FALSE(names.ResolveAlias(kTree + "\\Acme\\Marketing\\LoopB", &target));
  EXPECT_FALSE(names.ResolveAlias(kTree + "\\Acme\\Marketing\\Ghost", &target));
  EXPECT_TRUE(names.ResolveAlias(kTree + "\\Acme\\Marketing\\Rob", &target));
  EXPECT_EQ(target, kTree + "\\Acme\\Sales\\Robert");
}

TEST_F(LdapDirectoryTest, SiblingsOfOneValueMakeANameAmbiguousUnlessTypedToOne) {
  const DirContextHandle context = StartUp(directory);
  std::string canonical;
  EXPECT_EQ(directory.DXVRCanonicalizeName(context, "Twin.Sales.Acme", &canonical),
            dirresult::kNoSuchEntry);
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Sales\\Twin"));
  // Typed, each twin is found; typeless, neither can be written.
  EXPECT_EQ(directory.DXVRCanonicalizeName(context, "CN=Twin.Sales.Acme", &canonical),
            dirresult::kNameNotWritable);
  EXPECT_EQ(directory.DXVRSetContextFlags(context, 0), 0);
  EXPECT_EQ(directory.DXVRCanonicalizeName(context, "OU=Twin.Sales.Acme", &canonical), 0);
  EXPECT_EQ(canonical, "OU=Twin.OU=Sales.O=Acme");
  // Nor is a name written typeful once served when it is asked for typeless.
  EXPECT_EQ(directory.DXVRSetContextFlags(context, kTypelessNamesFlag), 0);
  EXPECT_EQ(directory.DXVRCanonicalizeName(context, "OU=Twin.OU=Sales.O=Acme", &canonical),
            dirresult::kNameNotWritable);

  // A container that fits two siblings, above a leaf that only one of them holds.
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Sales\\Hall\\Robert"));
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Sales\\OU=Hall\\Robert"));
  // Its entry's typeless name does not name it.
  EXPECT_EQ(directory.DXVRCanonicalizeName(context, "Robert.OU=Hall.Sales.Acme", &canonical),
            dirresult::kNameNotWritable);
  EXPECT_EQ(directory.DXVRSetContextFlags(context, 0), 0);
  EXPECT_EQ(directory.DXVRCanonicalizeName(context, "Robert.OU=Hall.Sales.Acme", &canonical), 0);
  EXPECT_EQ(canonical, "CN=Robert.OU=Hall.OU=Sales.O=Acme");
}

// The server's entries as one file, without the alias loops a file refuses; with names
// through every container alias and below the ambiguous containers.
std::string EdgeCasesFile(std::vector<std::string>* names) {
  std::string combined;
  for (const char* file : {"acme.ldif", "acme-extra.ldif", "edge-cases.ldif"}) {
    std::ifstream in(std::string(ZEB_SOURCE_DIR) + "/tests/ldap/" + file);
    std::stringstream text;
    text << in.rdbuf();
    std::string all = text.str();
    all.erase(std::remove(all.begin(), all.end(), '\r'), all.end());
    for (std::size_t at = 0; at < all.size();) {
      const std::size_t end = std::min(all.find("\n\n", at), all.size());
      const std::string record = all.substr(at, end - at);
      if (record.find("Loop") == std::string::npos && record.find("=Wing,") == std::string::npos &&
          record.find("=Yard,") == std::string::npos)
        combined += record + "\n\n";
      at = end + 2;
    }
  }
  const std::string path = ::testing::TempDir() + "zeb-ldap-edge-cases.ldif";
  std::ofstream(path, std::ios::binary) << combined;
  for (const char* container : {"Desk", "Annex", "Lobby", "Attic", "Shed", "Porch", "Seat",
                                "CN=Annex", "OU=Annex", "Hall.Sales", "CN=Hall.Sales",
                                "OU=Hall.Sales", "Twin.Sales", "Vente", "Marketing"})
    for (const char* below : {"Robert", "Bob", "Q1", "Rob.Marketing", "Nobody", "Twin",
                              "X.Twin", "CN=Robert", "OU=Robert", "Ghost", "Pepe"})
      names->push_back(std::string(below) + "." + container + ".Acme");
  return path;
}

// The edge cases a file can hold too: every name answered as LdifDirectory answers it from
// the same entries, ambiguous ones included.
TEST_F(LdapDirectoryTest, AnswersAsTheLdifDirectoryDoesOnTheEdgeCases) {
  std::vector<std::string> names;
  const std::string path = EdgeCasesFile(&names);
  ExpectSameAnswers(directory, path, names);
  std::remove(path.c_str());
}

TEST_F(LdapDirectoryTest, AccentsAndEscapedCharactersAsTheCodePageWritesThem) {
  const DirContextHandle context = StartUp(directory);
  std::string object;
  // Pepe -> José: the program's names are Windows-1252 bytes.
  EXPECT_EQ(directory.ReadObjectName(context, "Pepe.Marketing.Acme", &object), 0);
  EXPECT_EQ(object, "Jos\xE9.Marketing.Acme");
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Marketing\\Jos\xE9"));
  EXPECT_TRUE(directory.FindEntry(kTree + "\\acme\\marketing\\jos\xE9"));
  // Only ASCII letters ignore case, as in the LDIF directory (the server would match it).
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Marketing\\JOS\xC9"));
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Marketing\\Jose"));
  // A Cyrillic target: no byte string of the code page can name it.
  EXPECT_EQ(directory.ReadObjectName(context, "Vanya.Marketing.Acme", &object),
            dirresult::kNameNotWritable);
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Marketing\\Vanya"));
  // Characters special in DNs and filters.
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Sales\\Smith, John (x*)"));
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Sales\\Smith, John (x"));
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Sales\\*"));
}

// A container's children are listed once, whatever name goes through it; a leaf costs one
// one-level search; what was found before costs nothing.
TEST_F(LdapDirectoryTest, ALevelIsListedOnceAndALeafCostsOneRoundTrip) {
  const DirContextHandle context = StartUp(directory);  // DefaultFullName is not asked here
  int before = directory.RoundTrips();
  EXPECT_EQ(before, 1);  // the bind
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Sales\\Bob"));
  EXPECT_EQ(directory.RoundTrips() - before, 3);  // the top level, Acme's, and the leaf

  before = directory.RoundTrips();
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Sales\\Nobody"));
  EXPECT_EQ(directory.RoundTrips() - before, 1);
  before = directory.RoundTrips();
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Nope\\Bob"));
  EXPECT_TRUE(directory.FindEntry(kTree + "\\acme\\SALES"));
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Nope"));
  EXPECT_EQ(directory.RoundTrips(), before);

  // An alias: found, then its target read; canonicalizing the answer costs nothing more,
  // and asking again costs nothing at all.
  before = directory.RoundTrips();
  EXPECT_EQ(directory.DXVRSetContextName(context, "Sales.Acme"), 0);
  std::string object, canonical;
  EXPECT_EQ(directory.ReadObjectName(context, "Q1", &object), 0);
  EXPECT_EQ(directory.DXVRCanonicalizeName(context, object, &canonical), 0);
  EXPECT_EQ(canonical, "Q2.Sales.Acme");
  EXPECT_EQ(directory.RoundTrips() - before, 2);
  before = directory.RoundTrips();
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Sales\\Bob"));
  EXPECT_EQ(directory.ReadObjectName(context, "Q1", &object), 0);
  EXPECT_EQ(directory.RoundTrips(), before);
}

// With the aliases listed, an alias is found and followed with one search, its target (and
// a chain's) fetched with it.
TEST_F(LdapDirectoryTest, AListedAliasAndItsTargetCostOneRoundTrip) {
  const DirContextHandle context = StartUp(directory);
  std::vector<DirectoryAlias> aliases;
  ASSERT_TRUE(directory.ListAliases(&aliases));
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Sales\\Nobody"));  // lists the levels above
  std::string object, canonical;
  int before = directory.RoundTrips();
  EXPECT_EQ(directory.DXVRSetContextName(context, "Sales.Acme"), 0);
  EXPECT_EQ(directory.ReadObjectName(context, "Q1", &object), 0);
  EXPECT_EQ(directory.DXVRCanonicalizeName(context, object, &canonical), 0);
  EXPECT_EQ(canonical, "Q2.Sales.Acme");
  EXPECT_EQ(directory.RoundTrips() - before, 1);
  // A loop within one container is told in that one search too.
  before = directory.RoundTrips();
  EXPECT_EQ(directory.DXVRSetContextName(context, "Marketing.Acme"), 0);
  EXPECT_EQ(directory.ReadObjectName(context, "LoopA", &object), dirresult::kAliasLoop);
  EXPECT_EQ(directory.RoundTrips() - before, 1);
  // A chain into another container: one subtree search above both.
  before = directory.RoundTrips();
  EXPECT_EQ(directory.ReadObjectName(context, "Rob", &object), 0);
  EXPECT_EQ(directory.DXVRCanonicalizeName(context, object, &canonical), 0);
  EXPECT_EQ(canonical, "Robert.Sales.Acme");
  EXPECT_EQ(directory.RoundTrips() - before, 1);
  // A target that is not there: the search for it tells so.
  before = directory.RoundTrips();
  EXPECT_EQ(directory.ReadObjectName(context, "Ghost", &object), dirresult::kAliasToNothing);
  EXPECT_EQ(directory.RoundTrips() - before, 1);
}

// Below a listed container alias a name costs what its leaf costs: the alias's target is
// found on the level listed above it, the leaf's one search asks for it and the targets of
// aliases named like it. What was found is not asked for again, nor what a listed level
// shows missing (a dangling alias's target, a loop's).
TEST_F(LdapDirectoryTest, BelowAListedContainerAliasOnlyTheLeafIsAsked) {
  const DirContextHandle context = StartUp(directory);
  std::vector<DirectoryAlias> aliases;
  ASSERT_TRUE(directory.ListAliases(&aliases));
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Sales\\Nobody"));  // lists the levels above
  std::string object;
  const auto trips = [&](const std::string& name, std::int32_t result) {
    const int before = directory.RoundTrips();
    EXPECT_EQ(directory.ReadObjectName(context, name, &object), result) << name;
    return directory.RoundTrips() - before;
  };
  EXPECT_EQ(trips("Q2.Vente.Acme", 0), 1);
  EXPECT_EQ(object, "Q2.Sales.Acme");
  // Annex -> Desk -> ou=Sales, all on Acme's level.
  EXPECT_EQ(trips("Robert.Annex.Acme", 0), 1);
  EXPECT_EQ(object, "Robert.Sales.Acme");
  EXPECT_EQ(trips("Zed.Annex.Acme", dirresult::kNoSuchEntry), 1);
  // The children of ou=Sales named Robert and Nobody were found: nothing is asked.
  EXPECT_EQ(trips("Nobody.Annex.Acme", dirresult::kNoSuchEntry), 0);
  EXPECT_EQ(trips("Robert.Vente.Acme", 0), 0);
  EXPECT_EQ(object, "Robert.Sales.Acme");
  // Twin is a container below Sales: Sales's level, listed, holds two.
  EXPECT_EQ(trips("X.Twin.Annex.Acme", dirresult::kNoSuchEntry), 1);
  // Dangling: the target gone, or below an alias (whose level the server lists empty); loops.
  EXPECT_EQ(trips("Robert.Shed.Acme", dirresult::kNoSuchEntry), 0);
  EXPECT_EQ(trips("Robert.Porch.Acme", dirresult::kNoSuchEntry), 1);
  EXPECT_EQ(trips("Robert.Wing.Acme", dirresult::kAliasLoop), 0);
  EXPECT_EQ(trips("Nobody.Wing.Acme", dirresult::kAliasLoop), 0);
}

// The listing only saves searches: every answer is the one given without it, on every name
// of the files and on names through each kind of alias.
void ExpectListingChangesNoAnswer(const std::vector<std::string>& names) {
  // What one name's walk found serves the next, and an answer read may be the one given when
  // canonicalizing it later: both orders, each beside a client without the listing.
  for (const bool backwards : {false, true}) {
    LdapDirectory listed(ServerConfig(testing::TestServerUrl()), Switches(), "",
                         testing::TestLdapApi());
    LdapDirectory plain(ServerConfig(testing::TestServerUrl()), Switches(), "",
                        testing::TestLdapApi());
    const DirContextHandle listedContext = StartUp(listed);
    const DirContextHandle plainContext = StartUp(plain);
    std::vector<DirectoryAlias> aliases;
    ASSERT_TRUE(listed.ListAliases(&aliases));
    std::vector<std::string> ordered = names;
    if (backwards) std::reverse(ordered.begin(), ordered.end());
    for (const std::string& name : ordered)
      EXPECT_EQ(Answers(listed, listedContext, name), Answers(plain, plainContext, name))
          << name << (backwards ? " (backwards)" : "");
    // The listing costs no more than its own search.
    EXPECT_LE(listed.RoundTrips(), plain.RoundTrips() + 1);
  }
}

TEST_F(LdapDirectoryTest, TheListingChangesNoAnswer) {
  std::vector<std::string> names;
  for (const char* file : {"acme.ldif", "acme-extra.ldif", "edge-cases.ldif"}) {
    const std::vector<std::string> some = NamesOf(std::string(ZEB_SOURCE_DIR) + "/tests/ldap/" + file);
    names.insert(names.end(), some.begin(), some.end());
  }
  ASSERT_GT(names.size(), 40u);
  names.insert(names.end(), {"Robert.Vente.Acme", "Q1.Vente.Acme", "Nobody.Vente.Acme",
                             "Ghost.Marketing.Acme", "LoopA.Marketing.Acme", "Bob.Other",
                             "CN=Q1.OU=Sales.O=Acme", "UID=Q1.Sales.Acme"});
  // Below container aliases: through a chain, spelled in other case, dangling, a leaf, a loop;
  // leaf aliases and deeper names below them, ambiguous and typeful components.
  for (const char* container : {"Desk", "Annex", "Lobby", "Attic", "Shed", "Porch", "Seat",
                                "Wing", "Yard", "CN=Annex", "OU=Annex", "Hall.Sales",
                                "CN=Hall.Sales", "Twin.Sales"})
    for (const char* below : {"Robert", "Bob", "Q1", "Rob.Marketing", "Nobody", "Twin",
                              "X.Twin", "Robert.Nobody", "CN=Robert", "OU=Robert"})
      names.push_back(std::string(below) + "." + container + ".Acme");
  names.insert(names.end(), {"Robert.Desk.Annex.Acme", "Sales.Lobby.Acme", "Robert.Sales.Lobby.Acme"});
  ExpectListingChangesNoAnswer(names);
}

TEST(LdapSampleDirectory, TheListingChangesNoAnswer) {
  std::vector<std::string> names = NamesOf(testing::SampleDirectoryFile());
  names.insert(names.end(), {"Q2.Old.Acme", "Alice.Old.Acme", "Nobody.Old.Acme",
                             "APPS.SYS.Unit.Org", "hidden.exe.APPS.SYS.Unit.Org", "BOB.SALES.ACME",
                             "DATA.SYS.Unit.Org", "report.exe.DATA.SYS.Unit.Org", "User1.SYS.Unit.Org",
                             "Robert.Sales.Old.Acme", "Bob.Old.Acme", "Q1.Old.Acme"});
  ExpectListingChangesNoAnswer(names);
}

// The test backend, except that the searches `limited` picks hit the server's size limit,
// paged or not (as a directory of more aliases, or a container of more children, than its
// limit answers, slapd's default among them).
class SizeLimitedApi : public testing::ForwardingLdapApi {
 public:
  using Limited = std::function<bool(LdapScope scope, const std::string& filter)>;
  SizeLimitedApi(LdapApi& api, Limited limited)
      : ForwardingLdapApi(api), limited_(std::move(limited)) {}
  int Search(LdapSession* session, const std::string& base, LdapScope scope,
             const std::string& filter, const std::vector<std::string>& attributes,
             int timeoutSeconds, LdapMessage** result) override {
    const int rc =
        ForwardingLdapApi::Search(session, base, scope, filter, attributes, timeoutSeconds, result);
    return limited_(scope, filter) ? Limit(result) : rc;
  }
  int SearchPage(LdapSession* session, const std::string& base, LdapScope scope,
                 const std::string& filter, const std::vector<std::string>& attributes,
                 int pageSize, int timeoutSeconds, std::string* cookie,
                 LdapMessage** result) override {
    const int rc = ForwardingLdapApi::SearchPage(session, base, scope, filter, attributes,
                                                 pageSize, timeoutSeconds, cookie, result);
    if (!limited_(scope, filter)) return rc;
    cookie->clear();
    return Limit(result);
  }
  int ParseResult(LdapSession* session, LdapMessage* result, int* code,
                  std::string* matchedDn) override {
    const int rc = ForwardingLdapApi::ParseResult(session, result, code, matchedDn);
    if (result == limitedAnswer_) *code = ldapcode::kSizeLimitExceeded;
    return rc;
  }
  void MessageFree(LdapMessage* message) override {
    if (message == limitedAnswer_) limitedAnswer_ = nullptr;
    ForwardingLdapApi::MessageFree(message);
  }

  int limited = 0;

 private:
  int Limit(LdapMessage** result) {
    ++limited;
    limitedAnswer_ = *result;
    return ldapcode::kSizeLimitExceeded;
  }

  Limited limited_;
  LdapMessage* limitedAnswer_ = nullptr;
};

// A size limit is the server's answer about the listing, not a server that stopped: the run
// goes on without the index, and every name is looked up as it would be without one.
TEST(LdapDirectoryListing, ASizeLimitLeavesTheIndexOutAndTheServerInUse) {
  SizeLimitedApi api(testing::TestLdapApi(), [](LdapScope scope, const std::string& filter) {
    return scope == LdapScope::kSubtree && filter == "(objectClass=alias)";
  });
  LdapDirectory directory(ServerConfig(testing::TestServerUrl()), Switches(), "", api);
  const DirContextHandle context = StartUp(directory);
  RecordingView view;
  DirectoryNames names(directory, context, "ACME_TREE", view, lookups::kMemoAndIndex);
  EXPECT_EQ(api.limited, 1);
  std::vector<DirectoryAlias> aliases;
  EXPECT_FALSE(directory.ListAliases(&aliases));
  std::string target;
  ASSERT_TRUE(names.ResolveAlias(kTree + "\\Acme\\Marketing\\Rob", &target));
  EXPECT_EQ(target, kTree + "\\Acme\\Sales\\Robert");
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Sales\\Bob"));
  EXPECT_EQ(directory.FailureDuringRun(), "");
  EXPECT_TRUE(view.messages.empty());
}

// A container of more children than the server answers at once: its level is not listed,
// each name's component is asked for by name instead; a leaf asked with its aliases'
// targets beyond the limit is asked alone. Every answer stays the same.
TEST(LdapDirectoryListing, AnswersBeyondTheServersLimitAreAskedForNarrower) {
  const auto levels = [](LdapScope scope, const std::string& filter) {
    return scope == LdapScope::kOneLevel && filter == "(objectClass=*)";
  };
  const auto levelsAndWidened = [&](LdapScope scope, const std::string& filter) {
    return levels(scope, filter) || filter.find("(cn=", filter.find("(cn=") + 1) != std::string::npos;
  };
  for (const SizeLimitedApi::Limited& limited :
       {SizeLimitedApi::Limited(levels), SizeLimitedApi::Limited(levelsAndWidened)}) {
    SizeLimitedApi api(testing::TestLdapApi(), limited);
    LdapDirectory server(ServerConfig(testing::TestServerUrl()), Switches(), "", api);
    ASSERT_EQ(server.DXCallsInit(), 0);
    std::vector<DirectoryAlias> aliases;
    ASSERT_TRUE(server.ListAliases(&aliases));
    std::vector<std::string> names;
    const std::string path = EdgeCasesFile(&names);
    ExpectSameAnswers(server, path, names);
    std::remove(path.c_str());
    EXPECT_GT(api.limited, 0);
  }
}

// The test backend with pages of two entries, so that the listing takes many; the page
// numbered `failAt` (from 1) fails with `failure` instead of reaching the server, and with
// `stuck` every page after the first is empty and promises more.
class SmallPagesApi : public testing::ForwardingLdapApi {
 public:
  using ForwardingLdapApi::ForwardingLdapApi;
  int SearchPage(LdapSession* session, const std::string& base, LdapScope scope,
                 const std::string& filter, const std::vector<std::string>& attributes,
                 int pageSize, int timeoutSeconds, std::string* cookie,
                 LdapMessage** result) override {
    EXPECT_GT(pageSize, kPage);
    if (++pages == failAt) {
      *result = nullptr;
      cookie->clear();
      return failure;
    }
    if (stuck && pages > 1) {
      const int rc = Search(session, "o=Acme", LdapScope::kBase, "(cn=Nothing Here)",
                            attributes, timeoutSeconds, result);
      *cookie = "more";
      return rc;
    }
    return ForwardingLdapApi::SearchPage(session, base, scope, filter, attributes, kPage,
                                         timeoutSeconds, cookie, result);
  }

  static constexpr int kPage = 2;
  int pages = 0;
  int failAt = 0;
  int failure = 0;
  bool stuck = false;
};

// Both listings, the user's at start-up and ListAliases' own, go on over pages until the
// server's cookie ends: the same index as one answer gives, one round trip a page.
TEST(LdapDirectoryListing, PagesListTheWholeIndexEachPageARoundTrip) {
  LdapDirectory plain(ServerConfig(testing::TestServerUrl()), Switches(), "",
                      testing::TestLdapApi());
  StartUp(plain);
  const std::vector<std::string> whole = Listed(plain);
  ASSERT_GT(whole.size(), 10u);
  for (const bool atStartUp : {true, false}) {
    SmallPagesApi api(testing::TestLdapApi());
    LdapDirectory paged(ServerConfig(testing::TestServerUrl()), Switches(), "", api);
    if (atStartUp) {
      EXPECT_EQ(paged.DefaultFullName(), kTree + "\\Acme\\Sales\\Robert");
    }
    StartUp(paged);
    EXPECT_EQ(Listed(paged), whole) << atStartUp;
    // More aliases than two pages hold; nothing but the bind and the pages was sent.
    EXPECT_GT(api.pages, static_cast<int>(whole.size()) / SmallPagesApi::kPage) << atStartUp;
    EXPECT_EQ(paged.RoundTrips(), 1 + api.pages) << atStartUp;
  }
}

// A page that fails fails the listing as one answer's failure would: a limit or a name
// problem leaves the index out and the server in use; a server gone ends the look-ups.
TEST(LdapDirectoryListing, AFailingPageFailsTheWholeListing) {
  for (const int failure : {ldapcode::kSizeLimitExceeded, ldapcode::kAdminLimitExceeded,
                            ldapcode::kNoSuchObject, ldapcode::kTimeout, ldapcode::kServerDown}) {
    SmallPagesApi api(testing::TestLdapApi());
    api.failAt = 3;
    api.failure = failure;
    LdapDirectory directory(ServerConfig(testing::TestServerUrl()), Switches(), "", api);
    StartUp(directory);
    std::vector<DirectoryAlias> aliases;
    EXPECT_FALSE(directory.ListAliases(&aliases)) << failure;
    EXPECT_TRUE(aliases.empty()) << failure;
    EXPECT_EQ(api.pages, 3) << failure;
    const bool serverGone = failure == ldapcode::kTimeout || failure == ldapcode::kServerDown;
    EXPECT_EQ(directory.FindEntry(kTree + "\\Acme\\Sales\\Bob"), !serverGone) << failure;
    EXPECT_EQ(directory.FailureDuringRun().find("LDAP result code " + std::to_string(failure)) !=
                  std::string::npos,
              serverGone)
        << failure << ": " << directory.FailureDuringRun();
  }
  // At start-up too: the user is then looked up as without the listing.
  SmallPagesApi api(testing::TestLdapApi());
  api.failAt = 2;
  api.failure = ldapcode::kSizeLimitExceeded;
  LdapDirectory directory(ServerConfig(testing::TestServerUrl()), Switches(), "", api);
  EXPECT_EQ(directory.DefaultFullName(), kTree + "\\Acme\\Sales\\Robert");
  StartUp(directory);
  std::vector<DirectoryAlias> aliases;
  EXPECT_TRUE(directory.ListAliases(&aliases));  // its own listing, paged again
  EXPECT_FALSE(aliases.empty());
  EXPECT_EQ(directory.FailureDuringRun(), "");
}

// A server that answers empty pages and always promises more is given up on: no index, no
// hang, the server still in use.
TEST(LdapDirectoryListing, EmptyPagesWithoutEndAreGivenUp) {
  SmallPagesApi api(testing::TestLdapApi());
  api.stuck = true;
  LdapDirectory directory(ServerConfig(testing::TestServerUrl()), Switches(), "", api);
  StartUp(directory);
  std::vector<DirectoryAlias> aliases;
  EXPECT_FALSE(directory.ListAliases(&aliases));
  EXPECT_GT(api.pages, 2);
  EXPECT_LT(api.pages, 20);
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Sales\\Bob"));
  EXPECT_EQ(directory.FailureDuringRun(), "");
}

// A server whose limit is below the tree's aliases (3 here) lists them all in pages: the
// index is kept, at the cost of one round trip for the listing, at start-up or later.
TEST(LdapDirectoryPaging, ALimitBelowTheAliasesStillListsThemAll) {
  for (const bool atStartUp : {true, false}) {
    LdapDirectory directory(ServerConfig(testing::TestServerUrl()), Switches(), "",
                            testing::TestLdapApi());
    if (atStartUp) {
      EXPECT_EQ(directory.DefaultFullName(), kTree + "\\Acme\\Sales\\Robert");
    }
    const DirContextHandle context = StartUp(directory);
    EXPECT_GT(Listed(directory).size(), 10u) << atStartUp;
    EXPECT_EQ(directory.RoundTrips(), 2) << atStartUp;  // the bind and one page
    // The index at work: a listed alias and its target, one search (below the levels a
    // look-up walked before).
    EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Sales\\Nobody"));
    const int before = directory.RoundTrips();
    std::string object;
    EXPECT_EQ(directory.DXVRSetContextName(context, "Sales.Acme"), 0);
    EXPECT_EQ(directory.ReadObjectName(context, "Q1", &object), 0);
    EXPECT_EQ(object, "Q2.Sales.Acme");
    EXPECT_EQ(directory.RoundTrips() - before, 1) << atStartUp;
    EXPECT_EQ(directory.FailureDuringRun(), "");
  }
}

// The user's look-up at start-up lists the aliases with it: the run's first search serves
// both, and gives the user's entry exactly as the plain look-up (made first by FindEntry)
// does, for names through aliases, ambiguous, missing or in other case too.
TEST(LdapDirectoryStartUp, TheUsersLookUpListsTheAliasesAndChangesNoAnswer) {
  for (const char* user :
       {"Robert.Sales.Acme", "ROBERT.sales.acme", "Twin.Sales.Acme", "twin.sales.acme",
        "Hall.Sales.Acme", "robert.hall.sales.acme", "Q1.Sales.Acme", "Rob.Marketing.Acme",
        "Robert.Desk.Acme", "Robert.Annex.Acme", "Nobody.Sales.Acme", "Robert.Acme", "Acme",
        "Bob.Other", "CN=Robert.Sales.Acme", "Vanya.Marketing.Acme"}) {
    const DirectoryConfig config{testing::TestServerUrl(), "ACME_TREE", user};
    LdapDirectory listing(config, Switches(), "", testing::TestLdapApi());
    LdapDirectory plain(config, Switches(), "", testing::TestLdapApi());
    const std::string fullName = listing.DefaultFullName();
    StartUp(listing);
    StartUp(plain);
    plain.FindEntry(kTree + DottedToPath(user));
    EXPECT_EQ(fullName, plain.DefaultFullName()) << user;
    std::string listingLeaf, plainLeaf;
    EXPECT_TRUE(listing.FindTree("ACME_TREE", &listingLeaf));
    EXPECT_TRUE(plain.FindTree("ACME_TREE", &plainLeaf));
    EXPECT_EQ(listingLeaf, plainLeaf) << user;
    const int before = listing.RoundTrips();
    EXPECT_EQ(Listed(listing), Listed(plain)) << user;
    // A typeful name is looked up as written, without the listing.
    if (std::string(user).find('=') == std::string::npos) {
      EXPECT_EQ(listing.RoundTrips(), before) << user << ": listed again";
    }
  }
  LdapDirectory directory(ServerConfig(testing::TestServerUrl()), Switches(), "",
                          testing::TestLdapApi());
  EXPECT_EQ(directory.DefaultFullName(), kTree + "\\Acme\\Sales\\Robert");
  StartUp(directory);
  EXPECT_FALSE(Listed(directory).empty());
  EXPECT_EQ(directory.RoundTrips(), 2);  // the bind and one search
}

TEST(LdapDirectoryStartUp, AWrongPasswordFailsTheStartUpWithItsResultCode) {
  const DirectoryConfig config = ServerConfig(testing::TestServerUrl());
  LdapDirectory wrong(config, Switches(5, "cn=admin"), "wrong", testing::TestLdapApi());
  EXPECT_EQ(wrong.DXCallsInit(), dirresult::ServerFailure(ldapcode::kInvalidCredentials));
  EXPECT_NE(wrong.LastError().find("LDAP result code 49"), std::string::npos) << wrong.LastError();
  LdapDirectory right(config, Switches(5, "cn=admin"), "secret", testing::TestLdapApi());
  EXPECT_EQ(right.DXCallsInit(), 0) << right.LastError();
}

TEST(LdapDirectoryStartUp, NoServerListeningFailsTheStartUpAtOnce) {
  LdapDirectory directory(
      ServerConfig("ldap://127.0.0.1:" + std::to_string(testing::ClosedPort())), Switches(), "",
      testing::TestLdapApi());
  // The start-up asks for the default full name before DXCallsInit: the name as given.
  EXPECT_EQ(directory.DefaultFullName(), kTree + "\\Acme\\Sales\\Robert");
  const std::int32_t code = directory.DXCallsInit();
  EXPECT_TRUE(code == dirresult::ServerFailure(ldapcode::kServerDown) ||
              code == dirresult::ServerFailure(ldapcode::kConnectError))
      << code;
  std::uint32_t context = 0;
  EXPECT_EQ(directory.DXVRCreateContextHandle(&context), dirresult::kNotInitialised);
}

TEST(LdapDirectoryStartUp, AServerThatDoesNotAnswerFailsTheStartUpWithinTheTimeout) {
  testing::SilentServer silent;
  LdapDirectory directory(ServerConfig("ldap://127.0.0.1:" + std::to_string(silent.port())),
                          Switches(1), "", testing::TestLdapApi());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(directory.DXCallsInit(), dirresult::ServerFailure(ldapcode::kTimeout));
  // Asked once only: the second call answers what the first found.
  EXPECT_EQ(directory.DXCallsInit(), dirresult::ServerFailure(ldapcode::kTimeout));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
}

TEST(LdapDirectoryStartUp, AMalformedUrlIsRefused) {
  for (const char* url : {"ldap://", "ldap://host:0", "ldap://host:99999", "ldap://host/o=Acme?cn",
                          "ldap://host/%4", "ldap://host/o=Acme,=x"}) {
    LdapDirectory directory(ServerConfig(url), Switches(), "", testing::TestLdapApi());
    EXPECT_EQ(directory.DXCallsInit(), dirresult::kBadServerUrl) << url;
    EXPECT_FALSE(directory.LastError().empty());
  }
}

TEST(LdapDirectoryBase, TheBaseIsWhereTheRootMostComponentSits) {
  // With base o=Acme the names start below the organization: Bob.Sales.
  LdapDirectory directory(ServerConfig(testing::TestServerUrl() + "/o=%41cme"), Switches(), "",
                          testing::TestLdapApi());
  const DirContextHandle context = StartUp(directory);
  std::string object;
  EXPECT_EQ(directory.ReadObjectName(context, "Bob.Sales", &object), 0);
  EXPECT_EQ(object, "Robert.Sales");
  EXPECT_EQ(directory.ReadObjectName(context, "Vol1", &object), 0);
  EXPECT_EQ(object, "Vol1");
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Sales\\Q1"));
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Sales\\Q1"));
  // The other organization is not below the base.
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Other"));
}

TEST(LdapDirectoryMidRun, AServerThatStopsAnsweringEndsTheLookUpsWithinTheTimeout) {
  LdapDirectory directory(ServerConfig(testing::TestServerUrl()), Switches(1), "",
                          testing::TestLdapApi());
  const DirContextHandle context = StartUp(directory);
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Sales\\Bob"));
  if (!testing::PauseTestServer()) GTEST_SKIP() << "this build cannot pause the server";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Sales\\Q1"));
  std::string object;
  EXPECT_EQ(directory.ReadObjectName(context, "Robert.Sales.Acme", &object),
            dirresult::ServerFailure(ldapcode::kTimeout));
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Marketing"));
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(testing::ResumeTestServer());
  // One timeout, not one per name.
  EXPECT_LT(took, std::chrono::milliseconds(2500));
  EXPECT_NE(directory.FailureDuringRun().find("LDAP result code 85"), std::string::npos)
      << directory.FailureDuringRun();
  // What was answered before stays answered; nothing new is asked.
  EXPECT_TRUE(directory.FindEntry(kTree + "\\Acme\\Sales\\Bob"));
  EXPECT_FALSE(directory.FindEntry(kTree + "\\Acme\\Sales\\Robert"));
}

}  // namespace
}  // namespace zeb
