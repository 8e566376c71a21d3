// The memo and the alias index between the name operations and the client: the answers
// stay those of a full look-up, and the questions that reach the client become fewer.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "directory/alias_index.h"
#include "directory/counting_directory.h"
#include "directory/ldif_directory.h"
#include "directory/names.h"
#include "platform/text.h"
#include "support/recording_view.h"
#include "support/sample_paths.h"
#include "support/scripted_directory.h"

namespace zeb {
namespace {

using Op = DirectoryOperation;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The sample tree and the cases an export brings: a dangling alias, a chain, a container
// reached only through glue, type-only siblings one of which is an alias, a name with a dot,
// names outside the code page, one of them an alias's target, and aliases at the root and
// four deep.
const char* const kEdges =
    "\n\n"
    "dn: cn=Ghost,ou=Marketing,o=Acme\nobjectClass: alias\naliasedObjectName: cn=Gone,o=Acme\n\n"
    "dn: cn=Rob2,ou=Marketing,o=Acme\nobjectClass: alias\naliasedObjectName: cn=Rob,ou=Sales,o=Acme\n\n"
    "dn: cn=Deep,ou=Glue,o=Acme\nobjectClass: person\n\n"
    "dn: cn=ToGlue,o=Acme\nobjectClass: alias\naliasedObjectName: ou=Glue,o=Acme\n\n"
    "dn: ou=Twin,o=Acme\nobjectClass: organizationalUnit\n\n"
    "dn: cn=Twin,o=Acme\nobjectClass: alias\naliasedObjectName: o=Org\n\n"
    "dn: cn=J.Smith,o=Acme\nobjectClass: person\n\n"
    "dn: cn=ToSmith,o=Acme\nobjectClass: alias\naliasedObjectName: cn=J.Smith,o=Acme\n\n"
    "dn:: Y2490JjQstCw0L0sb3U9TWFya2V0aW5nLG89QWNtZQ==\nobjectClass: person\n\n"
    "dn: cn=Ivan,ou=Marketing,o=Acme\nobjectClass: alias\n"
    "aliasedObjectName:: Y2490JjQstCw0L0sb3U9TWFya2V0aW5nLG89QWNtZQ==\n\n"
    "dn: o=OldCo\nobjectClass: alias\naliasedObjectName: o=Acme\n\n"
    "dn: ou=Team,ou=Sales,o=Acme\nobjectClass: organizationalUnit\n\n"
    "dn: cn=Lead,ou=Team,ou=Sales,o=Acme\nobjectClass: alias\n"
    "aliasedObjectName: cn=Robert,ou=Sales,o=Acme\n";

// A directory brought up as the start-up does it, from the sample and the edge cases.
class LoadedDirectory {
 public:
  LoadedDirectory()
      : directory(ParseLdif(ReadFile(testing::SampleDirectoryFile()) + kEdges, "edges.ldif"),
                  "ACME_TREE", "Robert.Sales.Acme") {
    EXPECT_EQ(directory.DXCallsInit(), 0) << directory.LastError();
    EXPECT_EQ(directory.DXVRCreateContextHandle(&context), 0);
    EXPECT_EQ(directory.DXVRSetContextFlags(context, kTypelessNamesFlag), 0);
  }
  LdifDirectory directory;
  DirContextHandle context = 0;
};

class NameMaker {
 public:
  explicit NameMaker(unsigned seed) : random_(seed) {}

  // One to five components root first: mostly a name of the tree, with its case and types
  // changed now and then, sometimes with more below it; else any of the tree's names in any
  // order, and some it does not have.
  std::vector<std::string> Components() {
    static const std::vector<std::vector<std::string>> paths = {
        {"Acme"}, {"Acme", "Sales"}, {"Acme", "Sales", "Bob"}, {"Acme", "Sales", "Rob"},
        {"Acme", "Sales", "Robert"}, {"Acme", "Sales", "Q1"}, {"Acme", "Sales", "Q2"},
        {"Acme", "Sales", "Zoe"}, {"Acme", "Sales", "Alice"}, {"Acme", "Marketing", "Alice"},
        {"Acme", "Marketing", "Robert"}, {"Acme", "Old"}, {"Acme", "Old", "Q1"},
        {"Acme", "Old", "Bob"}, {"Acme", "\xC9quipe", "Zo\xE9"}, {"Org", "Unit", "SYS"},
        {"Org", "SYS"}, {"Org", "Vol1"}, {"Org", "Unit", "User1"}, {"Org", "FS1"},
        {"Acme", "Marketing", "Ghost"}, {"Acme", "Marketing", "Rob2"}, {"Acme", "Glue", "Deep"},
        {"Acme", "Glue"}, {"Acme", "ToGlue"}, {"Acme", "ToGlue", "Deep"}, {"Acme", "Twin"},
        {"Acme", "J.Smith"}, {"Acme", "ToSmith"}, {"Acme", "Marketing", "Ivan"},
        {"OldCo"}, {"OldCo", "Sales", "Bob"}, {"OldCo", "Old", "Q2"}, {"Acme", "Sales", "Team"},
        {"Acme", "Sales", "Team", "Lead"}, {"Acme", "Old", "Team", "Lead"}};
    static const std::vector<std::string> names = {
        "Acme", "Sales", "Marketing", "Old", "Bob", "Robert", "Rob", "Q1", "Q2", "Zoe",
        "Zo\xE9", "\xE9quipe", "Org", "Unit", "SYS", "Vol1", "Nobody", "", "ACME_TREE"};
    static const std::vector<std::string> types = {"CN=", "OU=", "O=", "cn="};
    std::vector<std::string> components;
    if (Number(0, 9) < 7) {
      components = Pick(paths);
      for (std::string& component : components) {
        if (Number(0, 5) == 0) component = UpperAscii(component);
        if (Number(0, 11) == 0) component = Pick(types) + component;
      }
      if (Number(0, 5) == 0) components.push_back(Pick(names));
      return components;
    }
    const int count = Number(1, 5);
    for (int i = 0; i < count; ++i) components.push_back(Pick(names));
    return components;
  }

  std::string FullName() {
    std::string name = Number(0, 9) == 0 ? "VRX:\\\\OTHER" : Number(0, 9) == 0 ? "\\\\ACME_TREE"
                                                                              : "VRX:\\\\ACME_TREE";
    for (const std::string& component : Components()) name += "\\" + component;
    if (Number(0, 3) == 0) name += "\\APPS\\WP.EXE";
    return name;
  }

  std::string Dotted() {
    const std::vector<std::string> rootFirst = Components();
    std::string dotted = Number(0, 3) == 0 ? "." : "";
    for (auto it = rootFirst.rbegin(); it != rootFirst.rend(); ++it)
      dotted += (it == rootFirst.rbegin() ? "" : ".") + *it;
    return dotted;
  }

  int Number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

 private:
  template <typename T>
  const T& Pick(const std::vector<T>& from) {
    return from[static_cast<std::size_t>(Number(0, static_cast<int>(from.size()) - 1))];
  }
  std::mt19937 random_;
};

struct Resolved {
  bool alias;
  std::string target;  // only when alias
  bool operator==(const Resolved& other) const {
    return alias == other.alias && target == other.target;
  }
};

Resolved Resolve(DirectoryNames& names, const std::string& fullName) {
  std::string target;
  const bool alias = names.ResolveAlias(fullName, &target);
  return {alias, alias ? target : ""};
}

// The scanners' FindObjectPrefix + ResolveAlias pair: the object part and rest only where the
// name is an alias, as the scanners read them.
struct PrefixResolved {
  bool alias;
  std::string objectPart, rest, target;
  bool operator==(const PrefixResolved& other) const {
    return alias == other.alias && objectPart == other.objectPart && rest == other.rest &&
           target == other.target;
  }
};
std::ostream& operator<<(std::ostream& out, const PrefixResolved& r) {
  return out << r.alias << " [" << r.objectPart << "|" << r.rest << "] -> " << r.target;
}

PrefixResolved ThePair(DirectoryNames& names, const std::string& path,
                       const std::string& namePrefix) {
  const NameSplit split = names.FindObjectPrefix(path);
  std::string target;
  if (split.objectPart.empty() && namePrefix.empty()) return {false, "", "", ""};
  if (!names.ResolveAlias(namePrefix + split.objectPart, &target)) return {false, "", "", ""};
  return {true, split.objectPart, split.rest, target};
}

PrefixResolved OneCall(DirectoryNames& names, const std::string& path,
                       const std::string& namePrefix) {
  NameSplit split;
  std::string target;
  if (!names.ResolveObjectPrefix(path, namePrefix, &split, &target)) return {false, "", "", ""};
  return {true, split.objectPart, split.rest, target};
}

// Each way of reaching the client, over one run's worth of names (the memo fills as it
// goes), against every call asked anew.
TEST(NameLookupProperties, MemoAndIndexGiveTheAnswersOfAFullLookUp) {
  LoadedDirectory loaded;
  testing::RecordingView view;
  CountingDirectory everyCall(loaded.directory);
  DirectoryNames plain(everyCall, loaded.context, "ACME_TREE", view);
  CountingDirectory counted(loaded.directory);
  DirectoryNames memo(counted, loaded.context, "ACME_TREE", view, lookups::kMemo);
  DirectoryNames index(loaded.directory, loaded.context, "ACME_TREE", view, lookups::kIndex);
  CountingDirectory bothCounted(loaded.directory);
  DirectoryNames both(bothCounted, loaded.context, "ACME_TREE", view, lookups::kMemoAndIndex);
  NameMaker maker(20261208);
  int aliases = 0;
  int prefixAliases = 0;
  for (int round = 0; round < 4000; ++round) {
    const std::string full = maker.FullName();
    const std::string dotted = maker.Dotted();
    SCOPED_TRACE(full + " | " + dotted);

    const Resolved expected = Resolve(plain, full);
    aliases += expected.alias;
    EXPECT_EQ(Resolve(memo, full), expected);
    EXPECT_EQ(Resolve(index, full), expected);
    EXPECT_EQ(Resolve(both, full), expected);

    const std::string canonical = plain.CanonicalizeName(dotted);
    EXPECT_EQ(memo.CanonicalizeName(dotted), canonical);
    EXPECT_EQ(index.CanonicalizeName(dotted), canonical);
    EXPECT_EQ(both.CanonicalizeName(dotted), canonical);

    const NameSplit split = plain.FindObjectPrefix(full);
    for (DirectoryNames* names : {&memo, &index, &both}) {
      const NameSplit other = names->FindObjectPrefix(full);
      EXPECT_EQ(other.objectPart, split.objectPart);
      EXPECT_EQ(other.rest, split.rest);
    }

    // As the scanners resolve a path's object part: the full name itself, or the path
    // without "VRX:" with the prefix put back on the name resolved.
    const std::string bare = StartsWithIgnoreCase(full, "VRX:") ? full.substr(4) : full;
    for (const auto& [path, namePrefix] :
         {std::pair<std::string, std::string>{full, ""}, {bare, "VRX:"}}) {
      const PrefixResolved pair = ThePair(plain, path, namePrefix);
      prefixAliases += pair.alias;
      EXPECT_EQ(OneCall(plain, path, namePrefix), pair) << path;
      EXPECT_EQ(OneCall(memo, path, namePrefix), pair) << path;
      EXPECT_EQ(OneCall(index, path, namePrefix), pair) << path;
      EXPECT_EQ(OneCall(both, path, namePrefix), pair) << path;
    }
  }
  EXPECT_GT(prefixAliases, 400);
  // The names met aliases often enough to matter, and the memo kept them from the client.
  EXPECT_GT(aliases, 200);
  EXPECT_LT(counted.LookUps() * 4, everyCall.LookUps());
  for (const std::string& m : view.messages) ADD_FAILURE() << m;
}

TEST(NameLookupProperties, TheIndexAnswersNamesOutsideEveryAliasWithoutTheClient) {
  LoadedDirectory loaded;
  CountingDirectory counted(loaded.directory);
  testing::RecordingView view;
  DirectoryNames names(counted, loaded.context, "ACME_TREE", view, lookups::kMemoAndIndex);
  EXPECT_EQ(counted.Count(Op::kListAliases), 1u);
  counted.Reset();

  std::string target;
  EXPECT_FALSE(names.ResolveAlias("VRX:\\\\ACME_TREE\\Acme\\Sales\\Robert", &target));
  EXPECT_FALSE(names.ResolveAlias("VRX:\\\\ACME_TREE\\Acme\\Sales\\Nobody", &target));
  EXPECT_FALSE(names.ResolveAlias("VRX:\\\\ACME_TREE\\Org\\Unit\\User1", &target));
  EXPECT_EQ(counted.Total(), 0u) << counted.Summary();

  // Through an alias, or typeful: the client is asked, once per name.
  EXPECT_TRUE(names.ResolveAlias("VRX:\\\\ACME_TREE\\Acme\\Old\\Q2", &target));
  EXPECT_EQ(target, "VRX:\\\\ACME_TREE\\Acme\\Sales\\Q2");
  EXPECT_TRUE(names.ResolveAlias("VRX:\\\\ACME_TREE\\O=Acme\\OU=Sales\\CN=Robert", &target));
  EXPECT_EQ(target, "VRX:\\\\ACME_TREE\\Acme\\Sales\\Robert");
  const std::size_t asked = counted.Total();
  EXPECT_EQ(counted.Count(Op::kFindEntry), 2u);
  EXPECT_TRUE(names.ResolveAlias("VRX:\\\\ACME_TREE\\ACME\\OLD\\q2", &target));
  EXPECT_EQ(target, "VRX:\\\\ACME_TREE\\Acme\\Sales\\Q2");
  EXPECT_EQ(counted.Total(), asked) << counted.Summary();

  // A path's object part: below no alias nothing is asked; through one, only the prefixes
  // that pass through it.
  counted.Reset();
  NameSplit split;
  EXPECT_FALSE(names.ResolveObjectPrefix("VRX:\\\\ACME_TREE\\Acme\\Sales\\Robert\\APPS\\WP.EXE",
                                         {}, &split, &target));
  EXPECT_FALSE(names.ResolveObjectPrefix("\\\\ACME_TREE\\Org\\FS1\\DATA", "VRX:", &split, &target));
  EXPECT_EQ(counted.Total(), 0u) << counted.Summary();
  EXPECT_TRUE(names.ResolveObjectPrefix("\\\\ACME_TREE\\Acme\\Old\\Q2\\X\\Y", "VRX:", &split,
                                        &target));
  EXPECT_EQ(split.objectPart, "\\\\ACME_TREE\\Acme\\Old\\Q2");
  EXPECT_EQ(split.rest, "\\X\\Y");
  EXPECT_EQ(target, "VRX:\\\\ACME_TREE\\Acme\\Sales\\Q2");
  // Y, X and Q2 under Old; Old.Acme itself was never asked for (Q2 is an entry).
  EXPECT_EQ(counted.Count(Op::kFindEntry), 3u) << counted.Summary();
}

TEST(NameLookups, AnIndexTheClientCannotFillProvesNothing) {
  testing::ScriptedDirectory client;  // lists no aliases
  client.entries.insert("VRX:\\\\T\\A\\B");
  client.readAnswer = "C.A";
  client.canonicalAnswer = "C.A";
  testing::RecordingView view;
  DirectoryNames names(client, 1, "T", view, lookups::kIndex);
  std::string target;
  EXPECT_TRUE(names.ResolveAlias("VRX:\\\\T\\A\\B", &target));
  EXPECT_EQ(target, "VRX:\\\\T\\A\\C");
  EXPECT_FALSE(AliasIndex(client).Complete());
}

TEST(NameLookups, IndexLeadingParts) {
  LoadedDirectory loaded;
  const AliasIndex index(loaded.directory);
  ASSERT_TRUE(index.Complete());
  // The sample's seven, the edges' eight; Ivan's target cannot be written but Ivan can.
  EXPECT_EQ(index.Size(), 15u);
  EXPECT_TRUE(index.NoLeadingPartIsAlias("Robert.Sales.Acme"));
  EXPECT_TRUE(index.NoLeadingPartIsAlias("Anything.Acme"));
  EXPECT_FALSE(index.NoLeadingPartIsAlias("Q2.Old.Acme"));
  EXPECT_FALSE(index.NoLeadingPartIsAlias("X.BOB.SALES.ACME"));
  EXPECT_FALSE(index.NoLeadingPartIsAlias("bob.sales.acme"));
  EXPECT_FALSE(index.NoLeadingPartIsAlias("A\\B.Acme"));
  EXPECT_TRUE(index.NoLeadingPartIsAlias("Bob"));
}

TEST(NameLookups, TheMemoAsksOncePerNameAndShowsAFailureOncePerName) {
  testing::ScriptedDirectory client;
  client.entries.insert("VRX:\\\\T\\A\\B");
  client.readAnswer = "B.A";
  client.canonicalResult = -330;
  testing::RecordingView view;
  DirectoryNames names(client, 1, "T", view, lookups::kMemo);
  std::string target;
  EXPECT_FALSE(names.ResolveAlias("VRX:\\\\T\\A\\B", &target));
  EXPECT_FALSE(names.ResolveAlias("vrx:\\\\t\\a\\b", &target));
  EXPECT_EQ(names.CanonicalizeName(".b.a"), ".b.a");
  EXPECT_EQ(client.lookups.size(), 1u);
  EXPECT_EQ(client.canonicalized.size(), 1u);
  EXPECT_EQ(view.messages, std::vector<std::string>{"DXVRCanonicalizeName failed (-330)"});
  // Another name fails on its own.
  EXPECT_EQ(names.CanonicalizeName("C.A"), "C.A");
  EXPECT_EQ(view.messages.size(), 2u);
}

TEST(NameLookups, AClientThatRaisesIsAskedAgain) {
  testing::ScriptedDirectory client;
  client.throwOnFind = true;
  testing::RecordingView view;
  DirectoryNames names(client, 1, "T", view, lookups::kMemo);
  std::string target;
  EXPECT_FALSE(names.ResolveAlias("VRX:\\\\T\\A", &target));
  client.throwOnFind = false;
  client.entries.insert("VRX:\\\\T\\A");
  client.readAnswer = client.canonicalAnswer = "Z";
  EXPECT_TRUE(names.ResolveAlias("VRX:\\\\T\\A", &target));
}

TEST(CountingDirectory, CountsEachOperationAndPassesItOn) {
  LoadedDirectory loaded;
  CountingDirectory counted(loaded.directory);
  EXPECT_TRUE(counted.FindEntry("VRX:\\\\ACME_TREE\\Acme"));
  EXPECT_FALSE(counted.FindEntry("VRX:\\\\ACME_TREE\\Nowhere"));
  ASSERT_EQ(counted.DXVRSetContextName(loaded.context, "Sales.Acme"), 0);
  std::string name;
  ASSERT_EQ(counted.ReadObjectName(loaded.context, "Bob", &name), 0);
  EXPECT_EQ(name, "Robert.Marketing.Acme");
  EXPECT_EQ(counted.DXVRCanonicalizeName(loaded.context, "Nobody", &name), -1020);
  std::vector<DirectoryAlias> aliases;
  EXPECT_TRUE(counted.ListAliases(&aliases));
  EXPECT_EQ(counted.Count(Op::kFindEntry), 2u);
  EXPECT_EQ(counted.LookUps(), 6u);
  EXPECT_EQ(counted.GetClientKind(), 4);
  EXPECT_EQ(counted.Total(), 7u);
  EXPECT_EQ(counted.Summary(),
            "FindEntry 2, DXVRSetContext (name) 1, ReadObjectName 1, DXVRCanonicalizeName 1, "
            "GetClientKind 1, ListAliases 1");
  counted.Reset();
  EXPECT_EQ(counted.Total(), 0u);
  EXPECT_EQ(counted.Summary(), "");
}

}  // namespace
}  // namespace zeb
