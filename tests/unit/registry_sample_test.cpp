// The sample workstation's Registry (samples/acme/workstation.reg) scanned against the sample
// directory, as a "Dereference Aliases" run on Windows NT does it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "directory/ldif_directory.h"
#include "scan/registry_search.h"
#include "scan/workstation_scanners.h"
#include "support/registry_scan_setup.h"
#include "support/sample_paths.h"

namespace zeb {
namespace {

using testing::RegistryScanSetup;
using Changes = std::vector<std::string>;

// Where Wine keeps the current user's part of HKEY_USERS.
const std::string kUserKey = "HKEY_USERS\\S-1-5-21-0-0-0-1000";

std::string ReadSample(const std::string& relative) {
  std::ifstream in(testing::SourceTreePath(relative), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

LdifDirectory& OpenedSampleDirectory(LdifDirectory& directory, DirContextHandle* context) {
  EXPECT_EQ(directory.DXCallsInit(), 0) << directory.LastError();
  EXPECT_EQ(directory.DXVRCreateContextHandle(context), 0);
  EXPECT_EQ(directory.DXVRSetContextFlags(*context, kTypelessNamesFlag), 0);
  return directory;
}

class RegistrySampleTest : public ::testing::Test {
 protected:
  RegistrySampleTest() {
    std::string reg = ReadSample("samples/acme/workstation.reg");
    EXPECT_FALSE(reg.empty());
    for (std::size_t at = reg.find("HKEY_CURRENT_USER"); at != std::string::npos;
         at = reg.find("HKEY_CURRENT_USER", at))
      reg.replace(at, 17, kUserKey);
    setup.Seed(reg);
    setup.system.platformId = platformid::kWindowsNt;
  }
  void Scan() {
    WorkstationScanners scanners(setup.context);
    scanners.ScanClientKeys();
    scanners.SearchRegistryTree(hkey::kLocalMachine, "");
    scanners.SearchRegistryTree(hkey::kUsers, "");
  }

  LdifDirectory directory{DirectoryConfig{testing::SampleDirectoryFile(), "ACME_TREE", ""}};
  DirContextHandle directoryContext = 0;
  RegistryScanSetup setup{OpenedSampleDirectory(directory, &directoryContext), "ACME_TREE",
                          directoryContext};
};

TEST_F(RegistrySampleTest, EveryKindOfNameIsFoundOnceAndTheRestStays) {
  Scan();
  const std::string user = "\\S-1-5-21-0-0-0-1000\\Software\\ZebSample";
  const std::string connection = user + "\\Printers\\Connections\\,,ACME_TREE,";
  const std::string users = user + "\\Users\\ACME_TREE\\";
  EXPECT_EQ(
      setup.Changes(),
      (Changes{
          // The fixed keys and the logon screen.
          "HKLM 3 \\Network\\Varnok\\System Config\\Dalvexa Redirector\\Name Context | 0 | .Sales.Acme",
          "HKLM 3 \\SOFTWARE\\Varnok\\Station Keeper\\Identification | Default User | "
          "Robert.Marketing.Acme",
          "HKLM 3 \\SOFTWARE\\Varnok\\Station Keeper\\Client Config | Default Printer | "
          "Q2.Sales.Acme",
          "HKLM 3 \\SOFTWARE\\Varnok\\Login\\History\\Contexts | 0 | Robert.Sales.Acme",
          "HKLM 3 \\SOFTWARE\\Varnok\\Login\\History\\Contexts | 1 | Zo\xE9.\xC9quipe.Acme",
          "HKLM 3 \\SOFTWARE\\Varnok\\Place Presets\\Services\\"
          "{5A0B7C3E-2D41-4F8A-9C6B-7E1D2F3A4B5C}\\Default\\Tab1 | Default Context | "
          ".Alice.Sales.Acme",
          "HKLM 3 \\SOFTWARE\\Varnok\\DXGINA\\Login Screen | DefaultDalvexaUserName | Robert",
          // HKEY_LOCAL_MACHINE.
          "HKLM 1 \\SOFTWARE\\ZebSample\\Cache\\Bob.Sales.Acme.ACME_TREE | "
          "\\SOFTWARE\\ZebSample\\Cache\\Robert.Marketing.Acme.ACME_TREE | ",
          "HKLM 2 \\SOFTWARE\\ZebSample\\Drives | \\\\ACME_TREE\\.SYS.Unit.Org\\PUBLIC | "
          "\\\\ACME_TREE\\Vol1.Org\\PUBLIC",
          "HKLM 1 \\SOFTWARE\\ZebSample\\Printers\\././ACME_TREE./..CN=Q1..OU=Sales..O=Acme | "
          "SOFTWARE\\ZebSample\\Printers\\././ACME_TREE./..Q2..Sales..Acme | ",
          "HKLM 3 \\SOFTWARE\\ZebSample\\Services | Queue | "
          "Dalvexa Services;;\\\\ACME_TREE\\Acme\\Sales\\Q2",
          // HKEY_USERS.
          "HKU 3 \\.DEFAULT\\Software\\Classes\\ZebSample.Document | UserName | "
          "Robert.Marketing.Acme",
          "HKU 1 " + connection + "Sales.Acme,Q1 | " + connection + "Q2.Sales.Acme | ",
          "HKU 1 " + connection + "Sales.Acme,Q1\\Settings | " + connection +
              "Sales.Acme,Q2\\Settings | ",
          "HKU 3 " + user + "\\Trees | ACME_TREE | Robert.Marketing.Acme",
          "HKU 3 " + user + "\\Trees | ACME_TREE_______________________ | Alice.Sales.Acme",
          "HKU 3 " + users + "Alice | DirectoryContext | Sales.Acme",
          "HKU 3 " + users + "Bob | DirectoryContext | Marketing.Acme",
          "HKU 1 " + users + "Bob | " + users + "Robert | ",
          "HKU 1 " + users + "Rob.Sales.Acme | " + users + "Robert.Sales.Acme | ",
          "HKU 3 " + users + "Rob.Sales.Acme | DN | Robert.Sales.Acme",
          "HKU 3 " + user + "\\Windows | Apps | \\\\ACME_TREE\\Org\\Vol1\\APPS",
          "HKU 3 " + user + "\\Windows | Context | Robert.Sales.Acme",
          "HKU 3 " + user + "\\Windows | Device | \\\\ACME_TREE\\Acme\\Sales\\Q2,winspool,Ne00:",
          "HKU 3 " + user + "\\Windows | Home | \\\\ACME_TREE\\Robert.Marketing.Acme\\HOME",
          "HKU 3 " + user + "\\Windows | UserName | Robert.Marketing.Acme",
      }));
  EXPECT_TRUE(setup.view.messages.empty());
  EXPECT_EQ(setup.registry.OpenHandleCount(), 0u);
}

TEST_F(RegistrySampleTest, ClassRegistrationsAreSearchedWithClassesOn) {
  setup.flags.searchClasses = true;
  Scan();
  bool found = false;
  for (const std::string& change : setup.Changes())
    found |= change == "HKLM 3 \\SOFTWARE\\Classes\\ZebSample.Document | UserName | "
                       "Robert.Marketing.Acme";
  EXPECT_TRUE(found);
}

TEST_F(RegistrySampleTest, SearchAndReplaceOfTheCompanyName) {
  setup.UseSearchAndReplace("acme", "NewCo");
  WorkstationScanners(setup.context).SearchRegistryTree(hkey::kLocalMachine, "\\SOFTWARE\\Acme");
  EXPECT_EQ(setup.Changes(),
            (Changes{"HKLM 1 \\SOFTWARE\\Acme | \\SOFTWARE\\NewCo | ",
                     "HKLM 2 \\SOFTWARE\\Acme\\Tools | AcmeFlags | NewCoFlags",
                     "HKLM 3 \\SOFTWARE\\Acme\\Tools | Path | C:\\NewCo\\bin;C:\\Acme\\lib",
                     "HKLM 1 \\SOFTWARE\\Acme\\Tools | \\SOFTWARE\\NewCo\\Tools | "}));
}

}  // namespace
}  // namespace zeb
