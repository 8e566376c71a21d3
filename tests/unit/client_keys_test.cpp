#include <gtest/gtest.h>

#include "scan/client_keys.h"
#include "scan/workstation_scanners.h"
#include "support/alias_directory.h"
#include "support/registry_scan_setup.h"

namespace zeb {
namespace {

using testing::AliasDirectory;
using testing::RegistryScanSetup;
using Changes = std::vector<std::string>;

const std::string kContexts = "\\SOFTWARE\\Varnok\\Login\\History\\Contexts";
const std::string kNameContext =
    "\\Network\\Varnok\\System Config\\Dalvexa Redirector\\Name Context";
const std::string kLoginScreen = "\\SOFTWARE\\Varnok\\DXGINA\\Login Screen";

class ClientKeysTest : public ::testing::Test {
 protected:
  ClientKeysTest() {
    directory.AddObject("Acme");
    directory.AddObject("Sales.Acme");
    directory.AddObject("Marketing.Acme");
    directory.AddObject("Robert.Sales.Acme");
    directory.AddObject("Carol.Sales.Acme");
    directory.AddAlias("Bob.Sales.Acme", "Robert.Sales.Acme");
    directory.AddAlias("Dave.Sales.Acme", "DAVE.SALES.ACME");  // differs in case only
  }
  void ScanContexts() { ScanClientKey(setup.context, hkey::kLocalMachine, kContexts); }
  std::size_t Lookups() const { return directory.findEntryCalls.size(); }

  AliasDirectory directory;
  RegistryScanSetup setup{directory};
};

TEST_F(ClientKeysTest, AliasNamesBecomeTheirTargetsKeepingTheLeadingDot) {
  setup.Seed(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\Varnok\Login\History\Contexts]
"Typeful"="CN=Bob.OU=Sales.O=Acme"
"Dotted"=".Bob.Sales.Acme"
"Expandable"=hex(2):62,6f,62,2e,73,61,6c,65,73,2e,61,63,6d,65,00
)");
  ScanContexts();
  EXPECT_EQ(setup.Changes(),
            (Changes{"HKLM 3 " + kContexts + " | Dotted | .Robert.Sales.Acme",
                     "HKLM 3 " + kContexts + " | Expandable | Robert.Sales.Acme",
                     "HKLM 3 " + kContexts + " | Typeful | Robert.Sales.Acme"}));
  EXPECT_EQ(setup.view.lines.at(0).text,
            "REGISTRY: HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnok\\Login\\History\\Contexts");
}

TEST_F(ClientKeysTest, ShortAndNonTextValuesAreNotLookedUp) {
  setup.Seed(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\Varnok\Login\History\Contexts]
"One"="B"
"Empty"=""
"Number"=dword:00000001
"Bytes"=hex:42,6f,62,2e,53,61,6c,65,73,2e,41,63,6d,65
"Several"=hex(7):42,6f,62,2e,53,61,6c,65,73,2e,41,63,6d,65,00,00
)");
  ScanContexts();
  EXPECT_TRUE(setup.Changes().empty());
  EXPECT_EQ(Lookups(), 0u);
}

TEST_F(ClientKeysTest, NamesThatAreNoAliasGiveNothing) {
  setup.Seed(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\Varnok\Login\History\Contexts]
"Object"="Carol.Sales.Acme"
"Container"="Sales.Acme"
"Unknown"="Nobody.Sales.Acme"
"CaseOnly"="Dave.Sales.Acme"
)");
  ScanContexts();
  EXPECT_TRUE(setup.Changes().empty());
  EXPECT_EQ(Lookups(), 4u);  // each of them was asked
}

TEST_F(ClientKeysTest, AMissingOrRefusedKeyGivesNothing) {
  ScanContexts();
  setup.Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnok\\Login\\History\\Contexts]\n"
             "\"A\"=\"Bob.Sales.Acme\"\n");
  setup.registry.FailOpen(hkey::kLocalMachine, kContexts);
  ScanContexts();
  EXPECT_TRUE(setup.Changes().empty());
  EXPECT_EQ(setup.registry.OpenHandleCount(), 0u);
}

TEST_F(ClientKeysTest, EveryFixedKeyIsScannedInTableOrder) {
  setup.Seed(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\Varnok\Place Presets\Services\{5A0B7C3E-2D41-4F8A-9C6B-7E1D2F3A4B5C}\Default\Tab1]
"v"="Bob.Sales.Acme"
[HKEY_LOCAL_MACHINE\SOFTWARE\Varnok\Login\History\Contexts]
"v"="Bob.Sales.Acme"
[HKEY_LOCAL_MACHINE\SOFTWARE\Varnok\Station Keeper\Client Config]
"v"="Bob.Sales.Acme"
[HKEY_LOCAL_MACHINE\SOFTWARE\Varnok\Station Keeper\Identification]
"v"="Bob.Sales.Acme"
[HKEY_LOCAL_MACHINE\Network\Varnok\System Config\Dalvexa Redirector\Preferred Tree\Trees]
"v"="Bob.Sales.Acme"
[HKEY_LOCAL_MACHINE\Network\Varnok\System Config\Dalvexa Redirector\Name Context]
"v"="Bob.Sales.Acme"
)");
  WorkstationScanners(setup.context).ScanClientKeys();  // the six keys, then the login defaults
  const std::string tail = " | v | Robert.Sales.Acme";
  EXPECT_EQ(setup.Changes(),
            (Changes{
                "HKLM 3 " + kNameContext + tail,
                "HKLM 3 \\Network\\Varnok\\System Config\\Dalvexa Redirector\\Preferred Tree\\Trees" +
                    tail,
                "HKLM 3 \\SOFTWARE\\Varnok\\Station Keeper\\Identification" + tail,
                "HKLM 3 \\SOFTWARE\\Varnok\\Station Keeper\\Client Config" + tail,
                "HKLM 3 " + kContexts + tail,
                "HKLM 3 \\SOFTWARE\\Varnok\\Place Presets\\Services\\"
                "{5A0B7C3E-2D41-4F8A-9C6B-7E1D2F3A4B5C}\\Default\\Tab1" + tail}));
}

TEST_F(ClientKeysTest, StatusLineShowsTheKeyOnlyInAnUnpromptedAutomaticRun) {
  ScanContexts();
  EXPECT_TRUE(setup.view.statusHistory.empty());
  EXPECT_EQ(setup.view.messagePumps, 1);

  setup.flags.autoRun = true;  // /AUTO alone still prompts
  ScanContexts();
  EXPECT_TRUE(setup.view.statusHistory.empty());

  setup.flags.promptUser = false;  // /AUTO /NOPROMPT, or /STEALTH
  ScanContexts();  // shown also for a key that does not exist
  EXPECT_EQ(setup.view.status[StatusLine::kMain1], kContexts);
}

// Login defaults on Windows NT: the logon screen's tree, user and context.
class LoginScreenTest : public ClientKeysTest {
 protected:
  LoginScreenTest() {
    setup.system.platformId = platformid::kWindowsNt;
    directory.AddObject("Bob.Marketing.Acme");
    directory.AddAlias("Ann.Sales.Acme", "Ann.Marketing.Acme");       // moved
    directory.AddAlias("Annie.Sales.Acme", "Anne.Sales.Acme");        // renamed
    directory.AddAlias("Bill.Sales.Acme", "Robert.Marketing.Acme");  // both
  }
  void SeedLoginScreen(const std::string& tree, const std::string& user,
                       const std::string& nameContext) {
    setup.Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE" + kLoginScreen + "]\n\"DefaultVRXTree\"=" + tree +
               "\n\"DefaultDalvexaUserName\"=" + user + "\n\"DefaultVRXContext\"=" + nameContext +
               "\n");
  }
  std::string Change(const std::string& name, const std::string& data) {
    return "HKLM 3 " + kLoginScreen + " | " + name + " | " + data;
  }
};

TEST_F(LoginScreenTest, UserChangeComesBeforeContextChange) {
  SeedLoginScreen("\"ACME_TREE\"", "\"Bill\"", "\"Sales.Acme\"");
  ScanLoginDefaults(setup.context);
  EXPECT_EQ(setup.Changes(), (Changes{Change("DefaultDalvexaUserName", "Robert"),
                                      Change("DefaultVRXContext", "Marketing.Acme")}));
  EXPECT_EQ(directory.findEntryCalls, (std::vector<std::string>{
                                          "VRX:\\\\ACME_TREE\\Acme\\Sales\\Bill"}));
}

TEST_F(LoginScreenTest, MovedUserChangesOnlyTheContext) {
  SeedLoginScreen("\"acme_tree\"", "\"Ann\"", "\"Sales.Acme\"");
  ScanLoginDefaults(setup.context);
  EXPECT_EQ(setup.Changes(), (Changes{Change("DefaultVRXContext", "Marketing.Acme")}));
}

TEST_F(LoginScreenTest, RenamedUserChangesOnlyTheUserName) {
  SeedLoginScreen("\"ACME_TREE\"", "\"Annie\"", "\"Sales.Acme\"");
  ScanLoginDefaults(setup.context);
  EXPECT_EQ(setup.Changes(), (Changes{Change("DefaultDalvexaUserName", "Anne")}));
}

TEST_F(LoginScreenTest, AnotherTreeOrNoTreeGivesNothing) {
  SeedLoginScreen("\"OTHER_TREE\"", "\"Bill\"", "\"Sales.Acme\"");
  ScanLoginDefaults(setup.context);
  EXPECT_TRUE(setup.Changes().empty());
  EXPECT_EQ(Lookups(), 0u);

  setup.Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE" + kLoginScreen + "]\n\"DefaultVRXTree\"=-\n");
  ScanLoginDefaults(setup.context);
  EXPECT_TRUE(setup.Changes().empty());
  EXPECT_EQ(Lookups(), 0u);
}

TEST_F(LoginScreenTest, NonTextDefaultsAreSkippedQuietly) {
  SeedLoginScreen("\"ACME_TREE\"", "dword:00000001", "\"Sales.Acme\"");
  EXPECT_NO_THROW(ScanLoginDefaults(setup.context));
  SeedLoginScreen("hex:41,43,4d,45,5f,54,52,45,45", "\"Bill\"", "\"Sales.Acme\"");
  EXPECT_NO_THROW(ScanLoginDefaults(setup.context));
  EXPECT_TRUE(setup.Changes().empty());
  EXPECT_TRUE(setup.view.errors.empty());
}

TEST_F(LoginScreenTest, NoAliasOrNoKeyGivesNothing) {
  ScanLoginDefaults(setup.context);
  SeedLoginScreen("\"ACME_TREE\"", "\"Robert\"", "\"Sales.Acme\"");
  ScanLoginDefaults(setup.context);
  EXPECT_TRUE(setup.Changes().empty());
  EXPECT_EQ(setup.view.messagePumps, 2);
}

TEST_F(LoginScreenTest, TheNameContextKeyIsNotReadOnWindowsNt) {
  setup.context.treeUserName = "Bob";
  setup.Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE" + kNameContext + "]\n\"0\"=\"Sales.Acme\"\n");
  ScanLoginDefaults(setup.context);
  EXPECT_TRUE(setup.Changes().empty());
}

// Windows 95 and 98: each name context is taken as the tree user's container.
class NameContextTest : public ClientKeysTest {
 protected:
  NameContextTest() {
    setup.system.platformId = platformid::kWindows9x;
    setup.context.treeUserName = "Bob";
  }
  std::string Change(const std::string& name, const std::string& data) {
    return "HKLM 3 " + kNameContext + " | " + name + " | " + data;
  }
};

TEST_F(NameContextTest, TheUsersNewContextKeepsTheLeadingDot) {
  directory.AddAlias("Bob.Sales.Acme", "Robert.Marketing.Acme");
  setup.Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE" + kNameContext +
             "]\n\"Plain\"=\"Sales.Acme\"\n\"Dotted\"=\".Sales.Acme\"\n\"Empty\"=\"\"\n"
             "\"Number\"=dword:00000002\n\"Elsewhere\"=\"Marketing.Acme\"\n");
  ScanLoginDefaults(setup.context);
  EXPECT_EQ(setup.Changes(), (Changes{Change("Dotted", ".Marketing.Acme"),
                                      Change("Plain", "Marketing.Acme")}));
  EXPECT_EQ(directory.findEntryCalls.at(0), "VRX:\\\\ACME_TREE\\Acme\\Sales\\Bob");
  EXPECT_EQ(Lookups(), 3u);  // the empty and the number value are not looked up
}

TEST_F(NameContextTest, TheLoginScreenIsNotReadOnWindows9x) {
  directory.AddAlias("Bill.Sales.Acme", "Robert.Marketing.Acme");
  setup.Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE" + kLoginScreen +
             "]\n\"DefaultVRXTree\"=\"ACME_TREE\"\n\"DefaultDalvexaUserName\"=\"Bill\"\n"
             "\"DefaultVRXContext\"=\"Sales.Acme\"\n");
  ScanLoginDefaults(setup.context);
  EXPECT_TRUE(setup.Changes().empty());
}

TEST_F(NameContextTest, ObjectAndUserChecksOfOneValueGiveTwoChangesObjectFirst) {
  directory.AddAlias("Sales.Acme", "Sales.NewCo");
  directory.AddAlias("Bob.Sales.Acme", "Robert.Marketing.Acme");
  setup.Seed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE" + kNameContext + "]\n\"0\"=\"Sales.Acme\"\n");
  ScanClientKey(setup.context, hkey::kLocalMachine, kClientKeys[0]);
  ScanLoginDefaults(setup.context);
  EXPECT_EQ(setup.Changes(),
            (Changes{Change("0", "Sales.NewCo"), Change("0", "Marketing.Acme")}));
}

}  // namespace
}  // namespace zeb
