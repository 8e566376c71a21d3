#include <gtest/gtest.h>

#include <chrono>

#include "scan/registry_search.h"
#include "scan/repaint_throttle.h"
#include "support/alias_directory.h"
#include "support/registry_scan_setup.h"

namespace zeb {
namespace {

using testing::AliasDirectory;
using testing::RegistryScanSetup;
using Changes = std::vector<std::string>;

class RegistrySearchTest : public ::testing::Test {
 protected:
  // A clock that stands still: however loaded the machine, a walk here takes no time for the
  // message rule, unless a test moves the clock itself.
  RegistrySearchTest() { setup.context.now = [] { return RepaintThrottle::Clock::time_point{}; }; }

  void Walk(RegKey root = hkey::kLocalMachine, const std::string& path = "") {
    SearchRegistryTree(setup.context, root, path);
  }
  void SetString(RegKey root, const std::string& path, const std::string& name,
                 const std::string& bytes, std::uint32_t type = regtype::kString) {
    RegKey key = 0;
    ASSERT_EQ(setup.registry.CreateKey(root, path, &key), winerr::kSuccess);
    setup.registry.SetValue(key, name, type, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    setup.registry.CloseKey(key);
  }

  AliasDirectory directory;  // empty: nothing is an alias here
  RegistryScanSetup setup{directory};
};

TEST_F(RegistrySearchTest, SearchAndReplaceOnValueNamesTextDataAndKeyPaths) {
  setup.Seed(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\Acme\Tools]
[HKEY_LOCAL_MACHINE\SOFTWARE\Acme]
"Path"="C:\\ACME\\bin;C:\\Acme\\lib"
"AcmeFlags"=dword:00000003
"Blob"=hex:61,63,6d,65
"List"=hex(7):61,63,6d,65,00,00
"Unrelated"="nothing here"
)");
  setup.UseSearchAndReplace("acme", "NewCo");
  Walk();
  EXPECT_EQ(setup.Changes(),
            (Changes{"HKLM 2 \\SOFTWARE\\Acme | AcmeFlags | NewCoFlags",
                     "HKLM 3 \\SOFTWARE\\Acme | Path | C:\\NewCo\\bin;C:\\Acme\\lib",
                     "HKLM 1 \\SOFTWARE\\Acme | \\SOFTWARE\\NewCo | ",
                     "HKLM 1 \\SOFTWARE\\Acme\\Tools | \\SOFTWARE\\NewCo\\Tools | "}));
  EXPECT_EQ(setup.registry.OpenHandleCount(), 0u);
}

TEST_F(RegistrySearchTest, EmptyOrEqualReplacementIsStillProposed) {
  setup.Seed("REGEDIT4\n\n[HKEY_USERS\\S-1\\k]\n\"AcmeFlags\"=\"acme\"\n");
  setup.UseSearchAndReplace("ACME", "");
  Walk(hkey::kUsers);
  setup.UseSearchAndReplace("acme", "acme");
  Walk(hkey::kUsers);
  EXPECT_EQ(setup.Changes(), (Changes{"HKU 2 \\S-1\\k | AcmeFlags | Flags",
                                      "HKU 3 \\S-1\\k | AcmeFlags | ",
                                      "HKU 2 \\S-1\\k | AcmeFlags | acmeFlags",
                                      "HKU 3 \\S-1\\k | AcmeFlags | acme"}));
}

TEST_F(RegistrySearchTest, WalkIsDepthFirstPreOrderInEnumerationOrder) {
  setup.Seed(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\E]
[HKEY_LOCAL_MACHINE\A\D]
"x"="\\"
[HKEY_LOCAL_MACHINE\A\B\C]
[HKEY_LOCAL_MACHINE\A]
"x"="\\"
)");
  setup.UseSearchAndReplace("\\", "/");
  Walk();
  EXPECT_EQ(setup.Changes(), (Changes{"HKLM 3 \\A | x | /",
                                      "HKLM 1 \\A | /A | ",
                                      "HKLM 1 \\A\\B | /A\\B | ",
                                      "HKLM 1 \\A\\B\\C | /A\\B\\C | ",
                                      "HKLM 3 \\A\\D | x | /",
                                      "HKLM 1 \\A\\D | /A\\D | ",
                                      "HKLM 1 \\E | /E | "}));
  // Messages go through at the walk's first key; none is due again while the clock stands.
  EXPECT_EQ(setup.view.messagePumps, 1);
}

TEST_F(RegistrySearchTest, ClassesAndEnumBelowLocalMachineAreSearchedOnlyAtTheirTop) {
  setup.Seed(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Software\classes]
"AcmeTop"="1"
[HKEY_LOCAL_MACHINE\Software\classes\.acme]
"AcmeBelow"="1"
[HKEY_LOCAL_MACHINE\Enum]
"AcmeTop"="1"
[HKEY_LOCAL_MACHINE\Enum\Root]
"AcmeBelow"="1"
[HKEY_USERS\.DEFAULT\Software\Classes\.acme]
"AcmeBelow"="1"
)");
  setup.UseSearchAndReplace("acme", "X");
  Walk();
  Walk(hkey::kUsers);
  EXPECT_EQ(setup.Changes(),
            (Changes{"HKLM 2 \\Enum | AcmeTop | XTop",
                     "HKLM 2 \\Software\\classes | AcmeTop | XTop",
                     "HKU 2 \\.DEFAULT\\Software\\Classes\\.acme | AcmeBelow | XBelow",
                     "HKU 1 \\.DEFAULT\\Software\\Classes\\.acme | \\.DEFAULT\\Software\\Classes\\.X | "}));

  setup.flags.searchClasses = true;  // /CLASSES
  Walk();
  EXPECT_EQ(setup.Changes().size(), 7u);
  EXPECT_EQ(setup.Changes().at(4), "HKLM 2 \\Enum\\Root | AcmeBelow | XBelow");
  EXPECT_EQ(setup.Changes().at(5), "HKLM 2 \\Software\\classes\\.acme | AcmeBelow | XBelow");
}

TEST_F(RegistrySearchTest, KeyThatCannotBeOpenedHasOnlyItsPathTested) {
  setup.Seed(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\Locked\Inner]
"Needle"="Needle"
[HKEY_LOCAL_MACHINE\SOFTWARE\Locked]
"Needle"="Needle"
[HKEY_LOCAL_MACHINE\SOFTWARE\Open]
"Needle"="x"
)");
  setup.registry.FailOpen(hkey::kLocalMachine, "SOFTWARE\\Locked");
  setup.UseSearchAndReplace("d", "D");
  Walk(hkey::kLocalMachine, "\\SOFTWARE");
  EXPECT_EQ(setup.Changes(), (Changes{"HKLM 1 \\SOFTWARE\\Locked | \\SOFTWARE\\LockeD | ",
                                      "HKLM 2 \\SOFTWARE\\Open | Needle | NeeDle"}));
  EXPECT_EQ(setup.view.errors.size(), 0u);
  EXPECT_EQ(setup.registry.OpenHandleCount(), 0u);
}

TEST_F(RegistrySearchTest, KeyAnsweringEveryIndexWithAnErrorEndsItsEnumeration) {
  setup.Seed(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\Perflib\Needle\Sub]
[HKEY_LOCAL_MACHINE\SOFTWARE\Perflib\Needle]
"NeedleValue"="Needle"
[HKEY_LOCAL_MACHINE\SOFTWARE\Zeta]
"Data"="Needle"
)");
  setup.registry.FailEnumeration(hkey::kLocalMachine, "SOFTWARE\\Perflib\\Needle");
  setup.UseSearchAndReplace("needle", "Pin");
  Walk();
  EXPECT_EQ(setup.Changes(),
            (Changes{"HKLM 1 \\SOFTWARE\\Perflib\\Needle | \\SOFTWARE\\Perflib\\Pin | ",
                     "HKLM 3 \\SOFTWARE\\Zeta | Data | Pin"}));
}

TEST_F(RegistrySearchTest, TextIsReadUpToTheFirstZeroAndOtherTypesByNameOnly) {
  SetString(hkey::kLocalMachine, "SOFTWARE\\T", "Cut", std::string("abc\0Needle\0", 11));
  SetString(hkey::kLocalMachine, "SOFTWARE\\T", "Unterminated", "Needle");
  SetString(hkey::kLocalMachine, "SOFTWARE\\T", "Expand", std::string("%Needle%\0", 9),
            regtype::kExpandString);
  SetString(hkey::kLocalMachine, "SOFTWARE\\T", "Multi", std::string("Needle\0\0", 8),
            regtype::kMultiString);
  setup.UseSearchAndReplace("Needle", "Pin");
  Walk();
  EXPECT_EQ(setup.Changes(), (Changes{"HKLM 3 \\SOFTWARE\\T | Expand | %Pin%",
                                      "HKLM 3 \\SOFTWARE\\T | Unterminated | Pin"}));
}

TEST_F(RegistrySearchTest, TextWithAZeroBeforeItsEndIsNotReplaced) {
  // The new data would keep only the text before the zero.
  SetString(hkey::kLocalMachine, "SOFTWARE\\T", "Inner", std::string("Needle\0tail\0", 12));
  SetString(hkey::kLocalMachine, "SOFTWARE\\T", "Padded", std::string("Needle\0\0\0", 9));
  SetString(hkey::kLocalMachine, "SOFTWARE\\T", "Whole", std::string("Needle\0", 7));
  setup.UseSearchAndReplace("Needle", "Pin");
  Walk();
  EXPECT_EQ(setup.Changes(), (Changes{"HKLM 3 \\SOFTWARE\\T | Padded | Pin",
                                      "HKLM 3 \\SOFTWARE\\T | Whole | Pin"}));
}

TEST_F(RegistrySearchTest, AMegabyteValueIsSearchedWhole) {
  const std::string big = std::string(1 << 20, 'x') + "Needle";
  SetString(hkey::kLocalMachine, "SOFTWARE\\Big", "Large", big + std::string(1, '\0'));
  setup.UseSearchAndReplace("needle", "Pin");
  Walk();
  ASSERT_EQ(setup.changes.size(), 1u);
  EXPECT_EQ(setup.changes[0].newText, std::string(1 << 20, 'x') + "Pin");

  // The alias tests read it too, as a name value.
  SetString(hkey::kLocalMachine, "SOFTWARE\\Big", "UserName", big + std::string(1, '\0'));
  setup.context.mode = ProgramMode::kDereferenceAliases;
  EXPECT_NO_THROW(Walk());
  EXPECT_EQ(setup.changes.size(), 1u);
}

TEST_F(RegistrySearchTest, ValueUnderTheRootKeyHasAnEmptyLocation) {
  setup.Seed("REGEDIT4\n\n[HKEY_USERS]\n\"NeedleAtRoot\"=\"1\"\n");
  setup.UseSearchAndReplace("Needle", "Pin");
  Walk(hkey::kUsers);
  EXPECT_EQ(setup.Changes(), (Changes{"HKU 2  | NeedleAtRoot | PinAtRoot"}));
  EXPECT_EQ(setup.view.lines.at(0).text, "REGISTRY: HKEY_USERS");
}

TEST_F(RegistrySearchTest, SubtreeWalkedAgainListsItsChangesOnce) {
  setup.Seed(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SYSTEM\ControlSet001\Services\Needle]
"Needle"="Needle"
[HKEY_LOCAL_MACHINE\SYSTEM\Select]
"Needle"="1"
)");
  setup.UseSearchAndReplace("Needle", "Pin");
  Walk(hkey::kLocalMachine, "\\SYSTEM\\ControlSet001");
  EXPECT_EQ(setup.Changes(),
            (Changes{"HKLM 2 \\SYSTEM\\ControlSet001\\Services\\Needle | Needle | Pin",
                     "HKLM 3 \\SYSTEM\\ControlSet001\\Services\\Needle | Needle | Pin",
                     "HKLM 1 \\SYSTEM\\ControlSet001\\Services\\Needle | "
                     "\\SYSTEM\\ControlSet001\\Services\\Pin | "}));
  Walk();
  Walk(hkey::kLocalMachine, "\\SYSTEM\\ControlSet001");
  EXPECT_EQ(setup.Changes().size(), 4u);
  EXPECT_EQ(setup.Changes().back(), "HKLM 2 \\SYSTEM\\Select | Needle | Pin");
}

// The status line follows the walk only as fast as it can be read, and ends on the last key.
TEST_F(RegistrySearchTest, StatusLineIsPaintedAFewTimesASecondAndEndsOnTheLastKey) {
  std::string reg = "REGEDIT4\n\n";
  for (int i = 0; i < 3000; ++i) reg += "[HKEY_LOCAL_MACHINE\\Bench\\K" + std::to_string(10000 + i) + "]\n";
  setup.Seed(reg);
  // Each key's look at the clock moves it on 1 ms: the 3,002 keys (the root and \Bench
  // included) take 3,002 ms of it, and messages go through at 0, 100, ..., 3,000 ms.
  auto fakeNow = RepaintThrottle::Clock::time_point{};
  setup.context.now = [&] { return fakeNow += std::chrono::milliseconds(1); };
  const auto start = std::chrono::steady_clock::now();
  Walk();
  const auto elapsed = std::chrono::steady_clock::now() - start;

  EXPECT_EQ(setup.view.messagePumps, 31);
  const auto painted = std::count_if(setup.view.statusHistory.begin(), setup.view.statusHistory.end(),
                                     [](const auto& entry) { return entry.first == StatusLine::kMain1; });
  EXPECT_GE(painted, 1);
  EXPECT_LE(painted, 2 + elapsed / RepaintThrottle::kDefaultInterval);
  EXPECT_EQ(setup.view.status[StatusLine::kMain1], "\\Bench\\K12999");
  EXPECT_EQ(setup.view.listRepaints, 0);  // nothing was found
}

TEST_F(RegistrySearchTest, StealthModeLeavesTheMainStatusLineAlone) {
  setup.Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A\\Needle]\n");
  setup.flags.stealthMode = true;
  setup.UseSearchAndReplace("Needle", "Pin");
  Walk();
  for (const auto& entry : setup.view.statusHistory) EXPECT_NE(entry.first, StatusLine::kMain1);
  EXPECT_EQ(setup.view.status[StatusLine::kSplash4], "Updates: 1");
  EXPECT_EQ(setup.view.messagePumps, 1);  // the window still answers during a hidden run
  EXPECT_GE(setup.view.listRepaints, 1);  // the line found is shown
}

TEST(RepaintThrottleTest, PaintsFirstThenOncePerInterval) {
  auto now = RepaintThrottle::Clock::time_point{};
  RepaintThrottle throttle(std::chrono::milliseconds(250), [&] { return now; });
  EXPECT_TRUE(throttle.Due());
  now += std::chrono::milliseconds(100);
  EXPECT_FALSE(throttle.Due());
  now += std::chrono::milliseconds(149);
  EXPECT_FALSE(throttle.Due());
  now += std::chrono::milliseconds(1);
  EXPECT_TRUE(throttle.Due());
  EXPECT_FALSE(throttle.Due());
}

}  // namespace
}  // namespace zeb
