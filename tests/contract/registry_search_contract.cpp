// The Registry tree search over each backend: the walk must find the same things in Wine's
// Registry as in the memory one. Every test works below HKCU\Software\ZebSearchContract.
#include <gtest/gtest.h>

#include <algorithm>

#include "changes/change_list.h"
#include "contract/backend.h"
#include "directory/names.h"
#include "platform/registry.h"
#include "scan/registry_search.h"
#include "support/alias_directory.h"
#include "support/recording_view.h"

namespace zeb::contract {
namespace {

using Changes = std::vector<std::string>;

constexpr char kParent[] = "\\Software\\ZebSearchContract";

std::string Describe(const ChangeRec& change) {
  return std::to_string(change.subType) + " " + change.location + " | " + change.oldText + " | " +
         change.newText;
}

class RegistrySearchContract : public ::testing::Test {
 protected:
  RegistrySearchContract() {
    directory_.AddObject("Sales.Acme");
    directory_.AddObject("Marketing.Acme");
    directory_.AddObject("Q2.Sales.Acme");
    directory_.AddAlias("Q1.Sales.Acme", "Q2.Sales.Acme");
    directory_.AddAlias("Bob.Sales.Acme", "Robert.Marketing.Acme");
    flags_.promptUser = true;
  }
  void SetUp() override {
    scratch_ = std::string(kParent) + "\\" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    reg_.DeleteKey(scratch_);
  }
  void TearDown() override {
    reg_.CloseKey();
    reg_.DeleteKey(scratch_);
  }
  static void TearDownTestSuite() {
    zeb::Registry(Registry(), hkey::kCurrentUser).DeleteKey(kParent);
  }

  // Opens (creating) a key below the test's own key; values are then written to it.
  void Key(const std::string& relative) { ASSERT_TRUE(reg_.OpenKey(Path(relative), true)); }
  std::string Path(const std::string& relative) const { return scratch_ + "\\" + relative; }

  Changes Walk(RegKey root, const std::string& path) {
    reg_.CloseKey();
    SearchRegistryTree(context_, root, path);
    Changes out;
    for (const ChangeRec& change : changes_) out.push_back(Describe(change));
    return out;
  }

  zeb::Registry reg_{Registry(), hkey::kCurrentUser};
  std::string scratch_;
  testing::AliasDirectory directory_;
  testing::RecordingView view_;
  RunFlags flags_;
  Workstation workstation_{Registry(), Profiles(), Files(), ShellLinks(), System(), FileBytes()};
  ChangeList changes_{view_, view_, flags_};
  DirectoryNames names_{directory_, 1, "ACME_TREE", view_};
  ScanContext context_{workstation_, names_, changes_, view_, flags_,
                       ProgramMode::kDereferenceAliases, std::string(), std::string(),
                       std::string(), nullptr};
};

TEST_F(RegistrySearchContract, SearchAndReplaceFindsNamesTextDataAndPaths) {
  Key("Acme");
  reg_.WriteInteger("AcmeFlags", 3);
  reg_.WriteBinaryData("Blob", {'a', 'c', 'm', 'e'});
  reg_.WriteString("Path", "C:\\ACME\\bin;C:\\Acme\\lib");
  Key("Acme\\Tools");
  context_.mode = ProgramMode::kSearchAndReplace;
  context_.search = "acme";
  context_.replace = "NewCo";
  const std::string acme = Path("Acme");
  EXPECT_EQ(Walk(hkey::kCurrentUser, scratch_),
            (Changes{"2 " + acme + " | AcmeFlags | NewCoFlags",
                     "3 " + acme + " | Path | C:\\NewCo\\bin;C:\\Acme\\lib",
                     "1 " + acme + " | " + Path("NewCo") + " | ",
                     "1 " + acme + "\\Tools | " + Path("NewCo\\Tools") + " | "}))
      << BackendName();
}

TEST_F(RegistrySearchContract, AliasTestsReadKeysAndValuesOfTheRealRegistry) {
  Key("Users\\ACME_TREE\\Bob");
  reg_.WriteString("DirectoryContext", "Sales.Acme");
  Key("Printers\\,,ACME_TREE,Sales.Acme,Q1");
  reg_.WriteString("Server", "S");
  Key("Printers\\,,ACME_TREE,Sales.Acme,Q1\\Settings");
  reg_.WriteInteger("Flags", 1);  // no text value: not renamed
  EXPECT_EQ(Walk(hkey::kCurrentUser, scratch_),
            (Changes{"1 " + Path("Printers\\,,ACME_TREE,Sales.Acme,Q1") + " | " +
                         Path("Printers\\,,ACME_TREE,Q2.Sales.Acme") + " | ",
                     "3 " + Path("Users\\ACME_TREE\\Bob") + " | DirectoryContext | Marketing.Acme",
                     "1 " + Path("Users\\ACME_TREE\\Bob") + " | " + Path("Users\\ACME_TREE\\Robert") +
                         " | "}))
      << BackendName();
}

// A fresh Wine prefix has a Perflib\009 key that opens but answers every enumeration index
// with an error; the walk must pass it and go on.
TEST_F(RegistrySearchContract, KeyWithFailingEnumerationIsPassed) {
  const std::string perflib = "\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib";
  context_.mode = ProgramMode::kSearchAndReplace;
  context_.search = "\\009";
  context_.replace = "\\x";
  const Changes changes = Walk(hkey::kLocalMachine, perflib);
  if (zeb::Registry(Registry(), hkey::kLocalMachine).KeyExists(perflib + "\\009"))
    EXPECT_NE(std::find(changes.begin(), changes.end(),
                        "1 " + perflib + "\\009 | " + perflib + "\\x | "),
              changes.end());
  else
    EXPECT_TRUE(changes.empty()) << BackendName();
}

}  // namespace
}  // namespace zeb::contract
