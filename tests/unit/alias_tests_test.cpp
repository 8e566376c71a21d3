#include <gtest/gtest.h>

#include "scan/alias_tests.h"
#include "scan/registry_search.h"
#include "support/alias_directory.h"
#include "support/registry_scan_setup.h"

namespace zeb {
namespace {

using testing::AliasDirectory;
using testing::RegistryScanSetup;
using Changes = std::vector<std::string>;

// T = ACME_TREE; Q1.Sales.Acme is an alias of the printer Q2.Sales.Acme, Bob.Sales.Acme one
// of the user Robert.Marketing.Acme.
class AliasTestsTest : public ::testing::Test {
 protected:
  AliasTestsTest() {
    for (const char* object : {"Acme", "Sales.Acme", "Marketing.Acme", "Q2.Sales.Acme",
                               "Robert.Marketing.Acme", "Carol.Sales.Acme"})
      directory.AddObject(object);
    directory.AddAlias("Q1.Sales.Acme", "Q2.Sales.Acme");
    directory.AddAlias("Bob.Sales.Acme", "Robert.Marketing.Acme");
  }
  // Seeds one key under HKEY_LOCAL_MACHINE\SOFTWARE\T with the given .reg value lines and
  // walks it.
  Changes WalkKey(const std::string& key, const std::string& values) {
    setup.Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\T\\" + key + "]\n" + values + "\n");
    SearchRegistryTree(setup.context, hkey::kLocalMachine, "\\SOFTWARE\\T");
    return setup.Changes();
  }

  AliasDirectory directory;
  RegistryScanSetup setup{directory};
};

// --- value names -------------------------------------------------------------------------

TEST_F(AliasTestsTest, ValueNameAsDottedTreePathKeepsWhatFollowsTheObject) {
  EXPECT_EQ(WalkKey("Drives", R"("\\\\ACME_TREE\\.Bob.Sales.Acme\\SYS\\PUBLIC"=dword:00000001)"),
            (Changes{"HKLM 2 \\SOFTWARE\\T\\Drives | \\\\ACME_TREE\\.Bob.Sales.Acme\\SYS\\PUBLIC | "
                     "\\\\ACME_TREE\\Robert.Marketing.Acme\\SYS\\PUBLIC"}));
}

TEST_F(AliasTestsTest, ValueNameAsPathFindsTheLongestObjectPrefix) {
  EXPECT_EQ(WalkKey("Drives", R"("\\\\acme_tree\\Acme\\Sales\\Q1\\Port"=hex:00)"),
            (Changes{"HKLM 2 \\SOFTWARE\\T\\Drives | \\\\acme_tree\\Acme\\Sales\\Q1\\Port | "
                     "\\\\ACME_TREE\\Acme\\Sales\\Q2\\Port"}));
}

TEST_F(AliasTestsTest, ValueNameOfAnotherTreeIsNotLookedUp) {
  EXPECT_TRUE(WalkKey("Drives", R"("\\\\OTHER_TREE\\.Bob.Sales.Acme"=dword:00000001)").empty());
  EXPECT_TRUE(directory.findEntryCalls.empty());
}

// --- value data ----------------------------------------------------------------------------

TEST_F(AliasTestsTest, ValueNamedAfterTheTreeOrItsPaddedFormHoldsAName) {
  const std::string padded = "acme_tree" + std::string(32 - 9, '_');
  EXPECT_EQ(WalkKey("Trees", "\"ACME_TREE\"=\"Bob.Sales.Acme\"\n\"" + padded +
                                 "\"=\"Bob.Sales.Acme\"\n\"acme_tree_\"=\"Bob.Sales.Acme\""),
            (Changes{"HKLM 3 \\SOFTWARE\\T\\Trees | ACME_TREE | Robert.Marketing.Acme",
                     "HKLM 3 \\SOFTWARE\\T\\Trees | " + padded + " | Robert.Marketing.Acme"}));
}

TEST_F(AliasTestsTest, ValueNamedAfterTheTreeMayHoldAPath) {
  EXPECT_EQ(WalkKey("Trees", R"("ACME_TREE"="\\\\ACME_TREE\\Acme\\Sales\\Q1\\Tray")"),
            (Changes{"HKLM 3 \\SOFTWARE\\T\\Trees | ACME_TREE | "
                     "\\\\ACME_TREE\\Acme\\Sales\\Q2\\Tray"}));
}

TEST_F(AliasTestsTest, ServicePrefixIsComparedWithCase) {
  EXPECT_EQ(WalkKey("Services", R"("Right"="Dalvexa Services;;\\\\ACME_TREE\\Acme\\Sales\\Q1"
"Wrong"="dalvexa services;;\\\\ACME_TREE\\Acme\\Sales\\Q1")"),
            (Changes{"HKLM 3 \\SOFTWARE\\T\\Services | Right | "
                     "Dalvexa Services;;\\\\ACME_TREE\\Acme\\Sales\\Q2"}));
}

TEST_F(AliasTestsTest, PrinterEntryKeepsMarkerAndPort) {
  EXPECT_EQ(WalkKey("Devices", R"("Q1"="\\\\ACME_TREE\\Acme\\Sales\\Q1,winspool,Ne00:")"),
            (Changes{"HKLM 3 \\SOFTWARE\\T\\Devices | Q1 | "
                     "\\\\ACME_TREE\\Acme\\Sales\\Q2,winspool,Ne00:"}));
}

TEST_F(AliasTestsTest, PrinterEntryWhosePortRunsPastTheCutIsNotProposed) {
  const std::string printer = R"(\\\\ACME_TREE\\Acme\\Sales\\Q1)";
  const std::string fits = ",winspool," + std::string(245, 'p');  // 255 from the marker on
  const std::string cut = ",winspool," + std::string(246, 'p');
  EXPECT_EQ(WalkKey("Devices", "\"Fits\"=\"" + printer + fits + "\"\n\"Cut\"=\"" + printer + cut + "\""),
            (Changes{"HKLM 3 \\SOFTWARE\\T\\Devices | Fits | \\\\ACME_TREE\\Acme\\Sales\\Q2" + fits}));
}

TEST_F(AliasTestsTest, NameValuesAreMatchedWithCase) {
  EXPECT_EQ(WalkKey("Login", R"("UserName"="Bob.Sales.Acme"
"Context"=".Bob.Sales.Acme"
"DirectoryContext"="CN=Bob.OU=Sales.O=Acme"
"Other"="Bob.Sales.Acme")"),
            (Changes{"HKLM 3 \\SOFTWARE\\T\\Login | Context | Robert.Marketing.Acme",
                     "HKLM 3 \\SOFTWARE\\T\\Login | DirectoryContext | Robert.Marketing.Acme",
                     "HKLM 3 \\SOFTWARE\\T\\Login | UserName | Robert.Marketing.Acme"}));
  // One key cannot hold both spellings: value names ignore case.
  EXPECT_EQ(WalkKey("Login2", R"("username"="Bob.Sales.Acme")").size(), 3u);
}

TEST_F(AliasTestsTest, TreePathDataIsRebuiltInItsOwnForm) {
  EXPECT_EQ(WalkKey("Paths", R"("Home"="\\\\ACME_TREE\\.Bob.Sales.Acme\\HOME\\BOB"
"Queue"="\\\\ACME_TREE\\Acme\\Sales\\Q1"
"NotAlias"="\\\\ACME_TREE\\Acme\\Sales\\Q2\\x"
"OtherTree"="\\\\OTHER\\Acme\\Sales\\Q1")"),
            (Changes{"HKLM 3 \\SOFTWARE\\T\\Paths | Home | \\\\ACME_TREE\\Robert.Marketing.Acme\\HOME\\BOB",
                     "HKLM 3 \\SOFTWARE\\T\\Paths | Queue | \\\\ACME_TREE\\Acme\\Sales\\Q2"}));
}

TEST_F(AliasTestsTest, NamesThatAreNoAliasGiveNothing) {
  directory.AddAlias("Dave.Sales.Acme", "DAVE.SALES.ACME");
  EXPECT_TRUE(WalkKey("Login", R"("UserName"="Carol.Sales.Acme"
"Context"="Nobody.Sales.Acme"
"DirectoryContext"="Dave.Sales.Acme")").empty());
}

// --- keys, tested once per text value ------------------------------------------------------

TEST_F(AliasTestsTest, PrinterConnectionKeyAndItsSubkeyWithTextValues) {
  const std::string printers = "\\SOFTWARE\\T\\Printers\\Connections\\";
  EXPECT_EQ(WalkKey("Printers\\Connections\\,,ACME_TREE,Sales.Acme,Q1\\Settings",
                    "\"Tray\"=\"1\"\n\"Paper\"=\"A4\""),
            (Changes{"HKLM 1 " + printers + ",,ACME_TREE,Sales.Acme,Q1\\Settings | " + printers +
                     ",,ACME_TREE,Sales.Acme,Q2\\Settings | "}));
  // The printer key itself has no text value yet; now it gets two.
  setup.Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE" + printers +
             ",,ACME_TREE,Sales.Acme,Q1]\n\"Server\"=\"S\"\n\"Share\"=\"Q\"\n");
  SearchRegistryTree(setup.context, hkey::kLocalMachine, "\\SOFTWARE\\T");
  EXPECT_EQ(setup.Changes(),
            (Changes{"HKLM 1 " + printers + ",,ACME_TREE,Sales.Acme,Q1\\Settings | " + printers +
                         ",,ACME_TREE,Sales.Acme,Q2\\Settings | ",
                     "HKLM 1 " + printers + ",,ACME_TREE,Sales.Acme,Q1 | " + printers +
                         ",,ACME_TREE,Q2.Sales.Acme | "}));
}

TEST_F(AliasTestsTest, PrinterConnectionKeyWithoutTextValuesGetsNothing) {
  EXPECT_TRUE(WalkKey("Printers\\,,ACME_TREE,Sales.Acme,Q1\\Settings",
                      "\"Flags\"=dword:00000001\n\"Blob\"=hex:01")
                  .empty());
  EXPECT_TRUE(directory.findEntryCalls.empty());
}

TEST_F(AliasTestsTest, PrinterConnectionKeyWithAWholeDottedName) {
  EXPECT_EQ(WalkKey("P\\,,acme_tree,Q1.Sales.Acme", "\"Server\"=\"S\""),
            (Changes{"HKLM 1 \\SOFTWARE\\T\\P\\,,acme_tree,Q1.Sales.Acme | "
                     "\\SOFTWARE\\T\\P\\,,ACME_TREE,Q2.Sales.Acme | "}));
}

TEST_F(AliasTestsTest, PrinterConnectionKeyLongerThanTheCutFromTheTreeOnIsNotRenamed) {
  // From the tree name on: 23 characters, a backslash and the subkey's name.
  const std::string key = "P\\,,ACME_TREE,Sales.Acme,Q1\\";
  const std::string fits = std::string(231, 's');  // 255 from the tree name on
  const std::string cut = std::string(232, 's');
  EXPECT_EQ(WalkKey(key + fits, "\"Tray\"=\"1\"").size(), 1u);
  EXPECT_EQ(setup.changes[0].oldText, "\\SOFTWARE\\T\\P\\,,ACME_TREE,Sales.Acme,Q2\\" + fits);
  EXPECT_EQ(WalkKey(key + cut, "\"Tray\"=\"1\"").size(), 1u);  // no second change
}

TEST_F(AliasTestsTest, KeyUnderATreeNamedKeyIsNamedAfterAnObject) {
  EXPECT_EQ(WalkKey("Users\\acme_tree\\Bob.Sales.Acme", R"("DN"="Bob.Sales.Acme"
"Note"="x")"),
            (Changes{"HKLM 1 \\SOFTWARE\\T\\Users\\acme_tree\\Bob.Sales.Acme | "
                     "\\SOFTWARE\\T\\Users\\ACME_TREE\\Robert.Marketing.Acme | ",
                     "HKLM 3 \\SOFTWARE\\T\\Users\\acme_tree\\Bob.Sales.Acme | DN | "
                     "Robert.Marketing.Acme"}));
}

TEST_F(AliasTestsTest, DnOutsideATreeNamedKeyIsNotAName) {
  EXPECT_TRUE(WalkKey("Users\\Bob", "\"DN\"=\"Bob.Sales.Acme\"").empty());
}

TEST_F(AliasTestsTest, KeyNamedAfterAnObjectAndTheTree) {
  EXPECT_EQ(WalkKey("Cache\\Bob.Sales.Acme.ACME_TREE", "\"Seen\"=\"1\""),
            (Changes{"HKLM 1 \\SOFTWARE\\T\\Cache\\Bob.Sales.Acme.ACME_TREE | "
                     "\\SOFTWARE\\T\\Cache\\Robert.Marketing.Acme.ACME_TREE | "}));
}

TEST_F(AliasTestsTest, KeyNamedAfterAnObjectNeedsATextValue) {
  EXPECT_TRUE(WalkKey("Cache\\Bob.Sales.Acme.ACME_TREE", "\"Seen\"=dword:00000001").empty());
}

// --- keys, tested once each ------------------------------------------------------------------

TEST_F(AliasTestsTest, EscapedPrinterKeyLosesItsLeadingBackslash) {
  EXPECT_EQ(WalkKey("Printers\\././ACME_TREE./..CN=Q1..OU=Sales..O=Acme", ""),
            (Changes{"HKLM 1 \\SOFTWARE\\T\\Printers\\././ACME_TREE./..CN=Q1..OU=Sales..O=Acme | "
                     "SOFTWARE\\T\\Printers\\././ACME_TREE./..Q2..Sales..Acme | "}));
}

TEST_F(AliasTestsTest, TreeNamedKeyWithAContextChangesContentsThenName) {
  EXPECT_EQ(WalkKey("Users\\ACME_TREE\\Bob", "\"DirectoryContext\"=\"Sales.Acme\""),
            (Changes{"HKLM 3 \\SOFTWARE\\T\\Users\\ACME_TREE\\Bob | DirectoryContext | "
                     "Marketing.Acme",
                     "HKLM 1 \\SOFTWARE\\T\\Users\\ACME_TREE\\Bob | "
                     "\\SOFTWARE\\T\\Users\\ACME_TREE\\Robert | "}));
}

TEST_F(AliasTestsTest, TreeNamedKeyMovedUnderTheSameLeafOnlyChangesItsContext) {
  directory.AddAlias("Ann.Sales.Acme", "Ann.Marketing.Acme");
  EXPECT_EQ(WalkKey("Users\\ACME_TREE\\ann", "\"DirectoryContext\"=\"sales.acme\""),
            (Changes{"HKLM 3 \\SOFTWARE\\T\\Users\\ACME_TREE\\ann | DirectoryContext | "
                     "Marketing.Acme"}));
}

TEST_F(AliasTestsTest, TreeNamedKeyWithoutATextContextIsAWholeName) {
  EXPECT_EQ(WalkKey("Users\\ACME_TREE\\Bob.Sales.Acme", "\"DirectoryContext\"=dword:00000001"),
            (Changes{"HKLM 1 \\SOFTWARE\\T\\Users\\ACME_TREE\\Bob.Sales.Acme | "
                     "\\SOFTWARE\\T\\Users\\ACME_TREE\\Robert.Marketing.Acme | "}));
}

TEST_F(AliasTestsTest, SearchAndReplaceRunsNoneOfTheseTests) {
  setup.UseSearchAndReplace("zzz", "y");
  WalkKey("Users\\ACME_TREE\\Bob", R"("DirectoryContext"="Sales.Acme"
"UserName"="Bob.Sales.Acme"
"ACME_TREE"="Bob.Sales.Acme"
"Q"="\\\\ACME_TREE\\Acme\\Sales\\Q1,winspool,Ne00:"
"S"="Dalvexa Services;;\\\\ACME_TREE\\Acme\\Sales\\Q1")");
  setup.Seed(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\T\Printers\,,ACME_TREE,Sales.Acme,Q1]
"Server"="S"
[HKEY_LOCAL_MACHINE\SOFTWARE\T\Printers\././ACME_TREE./..CN=Q1..OU=Sales..O=Acme]
[HKEY_LOCAL_MACHINE\SOFTWARE\T\Bob.Sales.Acme.ACME_TREE]
"Seen"="1"
)");
  SearchRegistryTree(setup.context, hkey::kLocalMachine, "\\SOFTWARE\\T");
  EXPECT_TRUE(setup.Changes().empty());
  EXPECT_TRUE(directory.findEntryCalls.empty());
}

// The tests on their own, as the walk calls them.
TEST_F(AliasTestsTest, KeyTestsReadTheContextOnlyForATreeNamedKey) {
  RegistryAliasTests tests(setup.context);
  int reads = 0;
  const auto readContext = [&] {
    ++reads;
    return std::string("Sales.Acme");
  };
  tests.KeyNameTests(hkey::kUsers, "\\S-1\\Software\\Bob", readContext);
  EXPECT_EQ(reads, 0);
  tests.KeyNameTests(hkey::kUsers, "\\S-1\\Software\\ACME_TREE\\Bob", readContext);
  EXPECT_EQ(reads, 1);
  EXPECT_EQ(setup.Changes(),
            (Changes{"HKU 3 \\S-1\\Software\\ACME_TREE\\Bob | DirectoryContext | Marketing.Acme",
                     "HKU 1 \\S-1\\Software\\ACME_TREE\\Bob | \\S-1\\Software\\ACME_TREE\\Robert | "}));
}

TEST_F(AliasTestsTest, PerValueKeyTestsRepeatForEachValueButListOnce) {
  RegistryAliasTests tests(setup.context);
  for (const char* name : {"A", "B", "C"})
    tests.PerValueKeyTests(hkey::kLocalMachine, "\\K\\Bob.Sales.Acme.ACME_TREE", name, "x");
  EXPECT_EQ(setup.Changes(), (Changes{"HKLM 1 \\K\\Bob.Sales.Acme.ACME_TREE | "
                                      "\\K\\Robert.Marketing.Acme.ACME_TREE | "}));
}

}  // namespace
}  // namespace zeb
