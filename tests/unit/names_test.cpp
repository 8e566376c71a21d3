#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "directory/names.h"
#include "support/recording_view.h"
#include "support/scripted_directory.h"

namespace zeb {
namespace {

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

TEST(LastCharPos, OneBasedPositionOfTheLastOccurrence) {
  EXPECT_EQ(LastCharPos('\\', "C:\\A\\B\\FILE.LNK"), 7);
  EXPECT_EQ(LastCharPos('.', "a.b.c"), 4);
  EXPECT_EQ(LastCharPos('a', "a"), 1);
  EXPECT_EQ(LastCharPos('\\', "no separator"), 0);
  EXPECT_EQ(LastCharPos('\\', ""), 0);
}

TEST(StripTreePrefix, RemovesThePrefixAndTheTree) {
  EXPECT_EQ(StripTreePrefix("VRX:\\\\TREE\\Org\\Unit\\User1"), "Org\\Unit\\User1");
  EXPECT_EQ(StripTreePrefix("vrx:\\\\tree\\Org"), "Org");
  // Without a further backslash the tree name stays.
  EXPECT_EQ(StripTreePrefix("VRX:\\\\TREE"), "TREE");
  EXPECT_EQ(StripTreePrefix("VRX:\\\\"), "");
  // Not a full name: untouched, leading backslash included.
  EXPECT_EQ(StripTreePrefix("\\Org\\Unit"), "\\Org\\Unit");
  EXPECT_EQ(StripTreePrefix("VRX:\\TREE\\Org"), "VRX:\\TREE\\Org");
  EXPECT_EQ(StripTreePrefix(""), "");
}

TEST(StripNameType, TextAfterTheFirstEqualsSign) {
  EXPECT_EQ(StripNameType("CN=User1"), "User1");
  EXPECT_EQ(StripNameType("User1"), "User1");
  EXPECT_EQ(StripNameType("A=B=C"), "B=C");
  EXPECT_EQ(StripNameType("CN="), "");
  EXPECT_EQ(StripNameType("CN=" + Repeat('x', 300)), Repeat('x', 255));
  // Without a type nothing is cut.
  EXPECT_EQ(StripNameType(Repeat('y', 300)), Repeat('y', 300));
}

TEST(FullNameToDotted, LeafFirstWithoutLeadingDots) {
  EXPECT_EQ(FullNameToDotted("VRX:\\\\TREE\\Org\\Unit\\User1"), "User1.Unit.Org");
  EXPECT_EQ(FullNameToDotted("VRX:\\\\TREE"), "TREE");
  EXPECT_EQ(FullNameToDotted("User1"), "User1");
  EXPECT_EQ(FullNameToDotted("..User1"), "User1");
  // A leading backslash without the prefix is an empty root-most component.
  EXPECT_EQ(FullNameToDotted("\\Org\\Unit"), "Unit.Org.");
  EXPECT_EQ(FullNameToDotted(""), "");
  EXPECT_EQ(FullNameToDotted("VRX:\\\\TREE\\"), "");
  // Types are kept.
  EXPECT_EQ(FullNameToDotted("VRX:\\\\T\\O=Org\\CN=A"), "CN=A.O=Org");
  EXPECT_EQ(FullNameToDotted("VRX:\\\\T\\Org\\\\A"), "A..Org");
}

TEST(FullNameToDotted, CutAt255DroppingTheRootEnd) {
  const std::string leaf = Repeat('L', 200);
  const std::string root = Repeat('R', 100);
  const std::string dotted = FullNameToDotted("VRX:\\\\T\\" + root + "\\" + leaf);
  EXPECT_EQ(dotted.size(), 254u);  // ".leaf.root" cut at 255, then the leading dot goes
  EXPECT_EQ(dotted, leaf + "." + Repeat('R', 53));
}

TEST(DottedToPath, RootFirstWithoutTypes) {
  EXPECT_EQ(DottedToPath("User1.Unit.Org"), "\\Org\\Unit\\User1");
  EXPECT_EQ(DottedToPath(".CN=User1.OU=Unit.O=Org"), "\\Org\\Unit\\User1");
  EXPECT_EQ(DottedToPath("CN=User1.OU=Unit.O=Org"), DottedToPath("User1.Unit.Org"));
  EXPECT_EQ(DottedToPath("User1"), "\\User1");
  EXPECT_EQ(DottedToPath(""), "");
  EXPECT_EQ(DottedToPath("."), "\\");
}

TEST(DottedToPath, TrailingDotIsAnEmptyRootComponent) {
  EXPECT_EQ(DottedToPath("Unit.Org."), "\\\\Org\\Unit");
  EXPECT_EQ(DottedToPath("A..B"), "\\B\\\\A");
}

TEST(DottedToPath, KeepsTheFirst254CharactersOfAnUndottedInput) {
  const std::string d = Repeat('a', 250) + ".bcdefgh";
  // "." + first 254 characters: the root component loses its last four letters.
  EXPECT_EQ(DottedToPath(d), "\\bcd\\" + Repeat('a', 250));
  // With its own leading dot the input is not cut; each component still is.
  const std::string longLeaf = Repeat('z', 300);
  EXPECT_EQ(DottedToPath("." + longLeaf + ".Org"), "\\Org\\" + Repeat('z', 255));
}

TEST(ClassifyName, FormBits) {
  using namespace nameform;
  EXPECT_EQ(ClassifyName("User1"), kTypeless | kPath | kDotted);
  EXPECT_EQ(ClassifyName("CN=User1.O=Org"), kTypeful | kDotted);
  EXPECT_EQ(ClassifyName("\\\\TREE\\SYS\\APPS"), kTypeless | kPath);
  // The first two characters and the text up to the next backslash go first: \C is left.
  EXPECT_EQ(ClassifyName("A.B\\\\C"), kTypeless | kPath);
  EXPECT_EQ(ClassifyName("\\\\TREE\\.SYS.ORG\\APPS"), kTypeless | kDotted);
  EXPECT_EQ(ClassifyName("\\Org\\CN=X"), kTypeful | kPath);
  // The tree after "\\" is not looked at.
  EXPECT_EQ(ClassifyName("\\\\T=X.Y\\Z"), kTypeless | kPath | kDotted);
  EXPECT_EQ(ClassifyName("\\\\TREE"), kTypeless | kPath | kDotted);
  EXPECT_EQ(ClassifyName(""), kTypeless | kPath | kDotted);
}

TEST(UncToFullName, TreePathToFullName) {
  EXPECT_EQ(UncToFullName("\\\\TREE\\.User1.Unit.Org"), "VRX:\\\\TREE\\Org\\Unit\\User1");
  EXPECT_EQ(UncToFullName("\\\\TREE\\User1.Unit.Org"), "VRX:\\\\TREE\\Org\\Unit\\User1");
  EXPECT_EQ(UncToFullName("\\\\TREE\\"), "VRX:\\\\TREE");
  EXPECT_EQ(UncToFullName("\\\\TREE\\.CN=A.O=B"), "VRX:\\\\TREE\\B\\A");
  // Without a backslash after the tree, the whole text is the dotted name.
  EXPECT_EQ(UncToFullName("\\\\User1.Org"), "VRX:\\\\\\Org\\User1");
}

TEST(UncToFullName, NotATreePath) {
  EXPECT_EQ(UncToFullName("TREE\\.User1"), "");
  EXPECT_EQ(UncToFullName("\\TREE\\.User1"), "");
  EXPECT_EQ(UncToFullName(""), "");
}

TEST(UncToFullName, EveryTrailingBackslashGoes) {
  // A trailing dot makes an empty root component; that and all trailing "\" go.
  EXPECT_EQ(UncToFullName("\\\\TREE\\."), "VRX:\\\\TREE");
  EXPECT_EQ(UncToFullName("\\\\"), "VRX:");
}

TEST(UncToFullName, RemaindersAreCutAt255) {
  const std::string tree = "T";
  const std::string dotted = "." + Repeat('a', 300);
  // 255 characters after "\\", of which "T\" are the tree: 253 remain for the name.
  EXPECT_EQ(UncToFullName("\\\\" + tree + "\\" + dotted), "VRX:\\\\T\\" + Repeat('a', 252));
}

TEST(FullNameToUnc, FullNameToTreePath) {
  EXPECT_EQ(FullNameToUnc("VRX:\\\\TREE\\Org\\Unit\\User1"), "\\\\TREE\\.User1.Unit.Org");
  EXPECT_EQ(FullNameToUnc("vrx:\\\\TREE\\Org"), "\\\\TREE\\.Org");
  EXPECT_EQ(FullNameToUnc("VRX:\\\\TREE"), "\\\\\\.TREE");
  EXPECT_EQ(FullNameToUnc(""), "\\\\\\.");
}

TEST(FullNameToUnc, RoundTripWithUncToFullName) {
  for (const char* name : {"VRX:\\\\TREE\\Org\\Unit\\User1", "VRX:\\\\ACME_TREE\\Acme",
                           "VRX:\\\\T\\a\\b\\c\\d\\e"}) {
    EXPECT_EQ(UncToFullName(FullNameToUnc(name)), name);
  }
}

TEST(ParentFolderName, FolderHoldingTheLastComponent) {
  EXPECT_EQ(ParentFolderName("C:\\A\\B\\FILE.LNK"), "B");
  EXPECT_EQ(ParentFolderName("B\\FILE.LNK"), "B");
  EXPECT_EQ(ParentFolderName("C:\\FILE.LNK"), "C:");
  EXPECT_EQ(ParentFolderName("\\FILE.LNK"), "");
  EXPECT_EQ(ParentFolderName("FILE.LNK"), "");
  EXPECT_EQ(ParentFolderName(""), "");
  EXPECT_EQ(ParentFolderName("C:\\" + Repeat('f', 300) + "\\x"), Repeat('f', 255));
  // Without a backslash before it the folder's name is not a remainder, and is not cut.
  EXPECT_EQ(ParentFolderName(Repeat('f', 300) + "\\x"), Repeat('f', 300));
}

TEST(SplitAtTree, SplitsAfterTheObjectPart) {
  NameSplit s = SplitAtTree("\\\\TREE\\.SYS.ORG\\APPS\\WP.EXE", "TREE");
  EXPECT_EQ(s.objectPart, "\\\\TREE\\.SYS.ORG");
  EXPECT_EQ(s.rest, "\\APPS\\WP.EXE");
  // The tree is found ignoring case.
  s = SplitAtTree("\\\\tree\\.SYS.ORG\\APPS", "TREE");
  EXPECT_EQ(s.objectPart, "\\\\tree\\.SYS.ORG");
  EXPECT_EQ(s.rest, "\\APPS");
  // "./" ends the object part when no backslash follows.
  s = SplitAtTree("\\\\TREE/.SYS.ORG./APPS", "TREE");
  EXPECT_EQ(s.objectPart, "\\\\TREE/.SYS.ORG");
  EXPECT_EQ(s.rest, "./APPS");
}

TEST(SplitAtTree, NothingToSplit) {
  NameSplit s = SplitAtTree("\\\\OTHER\\.SYS.ORG\\APPS", "TREE");
  EXPECT_EQ(s.objectPart, "\\\\OTHER\\.SYS.ORG\\APPS");
  EXPECT_EQ(s.rest, "");
  s = SplitAtTree("\\\\TREE\\.SYS.ORG", "TREE");
  EXPECT_EQ(s.objectPart, "\\\\TREE\\.SYS.ORG");
  EXPECT_EQ(s.rest, "");
  s = SplitAtTree("\\\\TREE", "TREE");
  EXPECT_EQ(s.objectPart, "\\\\TREE");
  EXPECT_EQ(s.rest, "");
  s = SplitAtTree("anything\\x", "");
  EXPECT_EQ(s.objectPart, "anything\\x");
  EXPECT_EQ(s.rest, "");
}

TEST(SplitAtTree, TheCharacterAfterTheTreeIsSkipped) {
  // The backslash right after the tree is not the split point.
  const NameSplit s = SplitAtTree("\\\\TREE\\SYS", "TREE");
  EXPECT_EQ(s.objectPart, "\\\\TREE\\SYS");
  EXPECT_EQ(s.rest, "");
}

TEST(SplitAtTree, RestIsAtMost255) {
  const std::string path = "\\\\T\\.V.O\\" + Repeat('d', 300);
  const NameSplit s = SplitAtTree(path, "T");
  // The text after the tree is cut at 255, so the rest is shorter than the real tail.
  EXPECT_EQ(s.rest, "\\" + Repeat('d', 255 - 5));
  EXPECT_EQ(s.objectPart.size(), path.size() - s.rest.size());
}

class DirectoryNamesTest : public ::testing::Test {
 protected:
  testing::ScriptedDirectory client;
  testing::RecordingView view;
  DirectoryNames names{client, 7, "TREE", view};
};

TEST_F(DirectoryNamesTest, FullNameOfADottedName) {
  EXPECT_EQ(names.FullNameOf("User1.Unit.Org"), "VRX:\\\\TREE\\Org\\Unit\\User1");
  EXPECT_EQ(names.FullNameOf(".CN=User1.O=Org"), "VRX:\\\\TREE\\Org\\User1");
  EXPECT_EQ(names.FullNameOf(""), "VRX:\\\\TREE");
}

TEST_F(DirectoryNamesTest, CanonicalizeSplitsLeafAndContainer) {
  client.readAnswer = "Robert.Marketing.Acme";
  client.canonicalAnswer = "Robert.Marketing.Acme";
  EXPECT_EQ(names.CanonicalizeName("..Bob.Sales.Acme"), "Robert.Marketing.Acme");
  EXPECT_EQ(client.contexts, std::vector<DirContextHandle>{7});
  EXPECT_EQ(client.nameContexts, std::vector<std::string>{"Sales.Acme"});
  EXPECT_EQ(client.leaves, std::vector<std::string>{"Bob"});
  EXPECT_EQ(client.canonicalized, std::vector<std::string>{"Robert.Marketing.Acme"});
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(DirectoryNamesTest, CanonicalizeWithoutContainer) {
  client.canonicalAnswer = "Acme";
  EXPECT_EQ(names.CanonicalizeName("Acme"), "Acme");
  EXPECT_EQ(client.nameContexts, std::vector<std::string>{""});
  EXPECT_EQ(client.leaves, std::vector<std::string>{"Acme"});
}

TEST_F(DirectoryNamesTest, CanonicalizeCutsTheContainerAt255) {
  client.canonicalAnswer = "x";
  names.CanonicalizeName("Leaf." + Repeat('c', 300));
  ASSERT_EQ(client.nameContexts.size(), 1u);
  EXPECT_EQ(client.nameContexts[0], Repeat('c', 255));
}

TEST_F(DirectoryNamesTest, CanonicalizeReturnsTrivialInputsWithoutAsking) {
  EXPECT_EQ(names.CanonicalizeName(""), "");
  EXPECT_EQ(names.CanonicalizeName("."), ".");
  EXPECT_EQ(names.CanonicalizeName("..."), "...");
  EXPECT_TRUE(client.nameContexts.empty());
}

TEST_F(DirectoryNamesTest, CanonicalizeReturnsItsInputOnClientFailures) {
  client.setContextResult = -1;
  EXPECT_EQ(names.CanonicalizeName(".Bob.Sales.Acme"), ".Bob.Sales.Acme");
  EXPECT_TRUE(client.leaves.empty());

  client.setContextResult = 0;
  client.readResult = -601;
  EXPECT_EQ(names.CanonicalizeName("Bob.Sales.Acme"), "Bob.Sales.Acme");
  EXPECT_TRUE(client.canonicalized.empty());

  // Positive results are not failures.
  client.readResult = 1;
  client.setContextResult = 2;
  client.canonicalAnswer = "Robert.Sales.Acme";
  EXPECT_EQ(names.CanonicalizeName("Bob.Sales.Acme"), "Robert.Sales.Acme");
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(DirectoryNamesTest, CanonicalizeShowsTheClientFailureOncePerCall) {
  client.canonicalResult = -330;
  client.canonicalAnswer = "garbage";
  EXPECT_EQ(names.CanonicalizeName("Bob.Sales.Acme"), "Bob.Sales.Acme");
  EXPECT_EQ(view.messages, std::vector<std::string>{"DXVRCanonicalizeName failed (-330)"});
  names.CanonicalizeName("Bob.Sales.Acme");
  EXPECT_EQ(view.messages.size(), 2u);
}

TEST_F(DirectoryNamesTest, CanonicalizeTextEndsAtTheFirstZero) {
  client.canonicalAnswer = std::string("Robert.Sales.Acme\0junk", 22);
  EXPECT_EQ(names.CanonicalizeName("Bob.Sales.Acme"), "Robert.Sales.Acme");
}

TEST_F(DirectoryNamesTest, ResolveAliasAnswersFromTheCanonicalName) {
  client.entries = {"VRX:\\\\TREE\\Acme\\Sales\\Bob", "VRX:\\\\TREE\\Acme\\Sales\\Robert"};
  client.canonicalAnswer = "Robert.Marketing.Acme";
  std::string target;
  EXPECT_TRUE(names.ResolveAlias("VRX:\\\\TREE\\Acme\\Sales\\Bob", &target));
  EXPECT_EQ(target, "VRX:\\\\TREE\\Acme\\Marketing\\Robert");

  // Same name apart from ASCII case: not an alias, but the target is still set.
  client.canonicalAnswer = "ROBERT.SALES.ACME";
  target.clear();
  EXPECT_FALSE(names.ResolveAlias("VRX:\\\\TREE\\Acme\\Sales\\Robert", &target));
  EXPECT_EQ(target, "VRX:\\\\TREE\\ACME\\SALES\\ROBERT");
}

TEST_F(DirectoryNamesTest, ResolveAliasAccentedLettersInOtherCaseDiffer) {
  client.entries = {"VRX:\\\\TREE\\Acme\\\xE9quipe"};
  client.canonicalAnswer = "\xC9quipe.Acme";
  std::string target;
  EXPECT_TRUE(names.ResolveAlias("VRX:\\\\TREE\\Acme\\\xE9quipe", &target));
  EXPECT_EQ(target, "VRX:\\\\TREE\\Acme\\\xC9quipe");
}

TEST_F(DirectoryNamesTest, ResolveAliasFalseWithoutAnEntry) {
  std::string target = "untouched";
  EXPECT_FALSE(names.ResolveAlias("VRX:\\\\TREE\\Acme\\Nobody", &target));
  EXPECT_EQ(target, "untouched");
  EXPECT_TRUE(client.nameContexts.empty());
  EXPECT_FALSE(names.ResolveAlias("", &target));
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(DirectoryNamesTest, ResolveAliasFalseOnClientFailures) {
  client.entries = {"VRX:\\\\TREE\\Acme\\Sales\\Bob"};
  client.canonicalAnswer = "Robert.Marketing.Acme";
  std::string target;
  client.readResult = -1;
  EXPECT_FALSE(names.ResolveAlias("VRX:\\\\TREE\\Acme\\Sales\\Bob", &target));
  client.readResult = 0;
  client.canonicalResult = -2;
  EXPECT_FALSE(names.ResolveAlias("VRX:\\\\TREE\\Acme\\Sales\\Bob", &target));
  EXPECT_EQ(view.messages, std::vector<std::string>{"DXVRCanonicalizeName failed (-2)"});
  client.throwOnFind = true;
  EXPECT_FALSE(names.ResolveAlias("VRX:\\\\TREE\\Acme\\Sales\\Bob", &target));
}

TEST_F(DirectoryNamesTest, FindObjectPrefixLongestLeadingEntry) {
  client.entries = {"VRX:\\\\TREE\\ORG\\SYS"};
  const NameSplit s = names.FindObjectPrefix("VRX:\\\\TREE\\ORG\\SYS\\APPS\\WP.EXE");
  EXPECT_EQ(s.objectPart, "VRX:\\\\TREE\\ORG\\SYS");
  EXPECT_EQ(s.rest, "\\APPS\\WP.EXE");
  EXPECT_EQ(client.lookups, (std::vector<std::string>{
                                "VRX:\\\\TREE\\ORG\\SYS\\APPS\\WP.EXE",
                                "VRX:\\\\TREE\\ORG\\SYS\\APPS", "VRX:\\\\TREE\\ORG\\SYS"}));
}

TEST_F(DirectoryNamesTest, FindObjectPrefixWholePathIsAnEntry) {
  client.entries = {"VRX:\\\\TREE\\ORG"};
  const NameSplit s = names.FindObjectPrefix("VRX:\\\\TREE\\ORG");
  EXPECT_EQ(s.objectPart, "VRX:\\\\TREE\\ORG");
  EXPECT_EQ(s.rest, "");
}

TEST_F(DirectoryNamesTest, FindObjectPrefixGoesDownToTheProtocol) {
  const NameSplit s = names.FindObjectPrefix("VRX:\\\\TREE\\ORG\\X");
  EXPECT_EQ(s.objectPart, "");
  EXPECT_EQ(s.rest, "VRX:\\\\TREE\\ORG\\X");
  EXPECT_EQ(client.lookups,
            (std::vector<std::string>{"VRX:\\\\TREE\\ORG\\X", "VRX:\\\\TREE\\ORG", "VRX:\\\\TREE",
                                      "VRX:\\", "VRX:"}));
}

TEST_F(DirectoryNamesTest, FindObjectPrefixTreeMayBeTheEntry) {
  client.entries = {"VRX:\\\\TREE"};
  const NameSplit s = names.FindObjectPrefix("VRX:\\\\TREE\\NOPE\\FILE");
  EXPECT_EQ(s.objectPart, "VRX:\\\\TREE");
  EXPECT_EQ(s.rest, "\\NOPE\\FILE");
}

TEST_F(DirectoryNamesTest, FindObjectPrefixWithoutBackslashMakesNoLookup) {
  client.entries = {"SYS.ORG"};
  const NameSplit s = names.FindObjectPrefix("SYS.ORG");
  EXPECT_EQ(s.objectPart, "");
  EXPECT_EQ(s.rest, "SYS.ORG");
  EXPECT_TRUE(client.lookups.empty());
}

TEST_F(DirectoryNamesTest, FindObjectPrefixControlErrorsCountAsMissing) {
  client.throwOnFind = true;
  const NameSplit s = names.FindObjectPrefix("VRX:\\\\TREE\\ORG");
  EXPECT_EQ(s.objectPart, "");
  EXPECT_EQ(s.rest, "VRX:\\\\TREE\\ORG");
  EXPECT_EQ(client.lookups.size(), 4u);
}

TEST_F(DirectoryNamesTest, FindObjectPrefixCutsEachTailAt255) {
  client.entries = {"VRX:\\\\TREE\\ORG"};
  const std::string tail = "\\" + Repeat('t', 300);
  const NameSplit s = names.FindObjectPrefix("VRX:\\\\TREE\\ORG" + tail);
  EXPECT_EQ(s.objectPart, "VRX:\\\\TREE\\ORG");
  EXPECT_EQ(s.rest, tail.substr(0, 255));
}

TEST_F(DirectoryNamesTest, SplitAtTreeUsesTheTreeName) {
  const NameSplit s = names.SplitAtTree("\\\\tree\\.SYS.ORG\\APPS\\WP.EXE");
  EXPECT_EQ(s.objectPart, "\\\\tree\\.SYS.ORG");
  EXPECT_EQ(s.rest, "\\APPS\\WP.EXE");
}

}  // namespace
}  // namespace zeb
