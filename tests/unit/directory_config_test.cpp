#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "directory/directory_config.h"
#include "platform/memory/memory_registry.h"
#include "platform/registry.h"

namespace zeb {
namespace {

const char kLoginScreen[] = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnok\\DXGINA\\Login Screen]\n";

class DirectoryConfigTest : public ::testing::Test {
 protected:
  void Seed(const std::string& body) { memory.ImportRegText("REGEDIT4\n\n" + body); }

  DirectoryConfig Read(const std::vector<std::string>& arguments,
                       const std::string& folder = "C:\\Program Files\\ZEB") {
    return ReadDirectoryConfig(arguments, registry, folder);
  }

  MemoryRegistry memory;
  Registry registry{memory, hkey::kCurrentUser};
};

TEST_F(DirectoryConfigTest, SwitchesIgnoreCaseValuesKeepIt) {
  const DirectoryConfig config =
      Read({"zeb.exe", "/directory=D:\\Dir\\Acme.LDIF", "/Tree=Acme_Tree", "/user=Bob.Sales.Acme"});
  EXPECT_EQ(config.directoryPath, "D:\\Dir\\Acme.LDIF");
  EXPECT_EQ(config.treeName, "Acme_Tree");
  EXPECT_EQ(config.userName, "Bob.Sales.Acme");
}

TEST_F(DirectoryConfigTest, TheLastOfAKindWinsAndOtherArgumentsAreIgnored) {
  const DirectoryConfig config = Read({"/TREE=ONE", "/STEALTH", "/TREEX=no", "TREE=no",
                                       "/TREE=TWO", "/USER", "/USER=A.B"});
  EXPECT_EQ(config.treeName, "TWO");
  EXPECT_EQ(config.userName, "A.B");
}

TEST_F(DirectoryConfigTest, LoginScreenDefaults) {
  Seed(std::string(kLoginScreen) +
       "\"DefaultVRXTree\"=\"ACME_TREE\"\n"
       "\"DefaultDalvexaUserName\"=\"Bob\"\n"
       "\"DefaultVRXContext\"=\"Sales.Acme\"\n");
  DirectoryConfig config = Read({});
  EXPECT_EQ(config.treeName, "ACME_TREE");
  EXPECT_EQ(config.userName, "Bob.Sales.Acme");

  // Switches come first, each on its own.
  config = Read({"/TREE=OTHER"});
  EXPECT_EQ(config.treeName, "OTHER");
  EXPECT_EQ(config.userName, "Bob.Sales.Acme");
  config = Read({"/USER=Robert.Sales.Acme"});
  EXPECT_EQ(config.treeName, "ACME_TREE");
  EXPECT_EQ(config.userName, "Robert.Sales.Acme");
  // An empty value counts as not given.
  config = Read({"/TREE="});
  EXPECT_EQ(config.treeName, "ACME_TREE");
}

TEST_F(DirectoryConfigTest, LoginScreenUserWithoutOrWithDottedContext) {
  Seed(std::string(kLoginScreen) + "\"DefaultDalvexaUserName\"=\"Bob\"\n");
  EXPECT_EQ(Read({}).userName, "Bob");
  EXPECT_EQ(Read({}).treeName, "");

  Seed(std::string(kLoginScreen) + "\"DefaultVRXContext\"=\".Sales.Acme\"\n");
  EXPECT_EQ(Read({}).userName, "Bob.Sales.Acme");
}

TEST_F(DirectoryConfigTest, ContextWithoutUserGivesNoUser) {
  Seed(std::string(kLoginScreen) + "\"DefaultVRXContext\"=\"Sales.Acme\"\n");
  EXPECT_EQ(Read({}).userName, "");
}

TEST_F(DirectoryConfigTest, ValuesThatAreNotTextCountAsAbsent) {
  Seed(std::string(kLoginScreen) +
       "\"DefaultVRXTree\"=dword:00000001\n"
       "\"DefaultDalvexaUserName\"=hex:41,42\n"
       "\"DefaultVRXContext\"=\"Sales.Acme\"\n");
  const DirectoryConfig config = Read({});
  EXPECT_EQ(config.treeName, "");
  EXPECT_EQ(config.userName, "");
}

TEST_F(DirectoryConfigTest, AKeyThatCannotBeOpenedGivesNoDefaults) {
  Seed(std::string(kLoginScreen) + "\"DefaultVRXTree\"=\"ACME_TREE\"\n");
  memory.FailOpen(hkey::kLocalMachine, "SOFTWARE\\Varnok\\DXGINA\\Login Screen");
  EXPECT_EQ(Read({}).treeName, "");
  EXPECT_EQ(memory.OpenHandleCount(), 0u);
}

TEST_F(DirectoryConfigTest, TheCallersRegistryIsLeftAlone) {
  Seed(std::string(kLoginScreen) + "\"DefaultVRXTree\"=\"ACME_TREE\"\n" +
       "[HKEY_CURRENT_USER\\Software\\Mine]\n");
  ASSERT_TRUE(registry.OpenKey("\\Software\\Mine", false));
  const RegKey before = registry.CurrentKey();
  EXPECT_EQ(Read({}).treeName, "ACME_TREE");
  EXPECT_EQ(registry.RootKey(), hkey::kCurrentUser);
  EXPECT_EQ(registry.CurrentKey(), before);
  registry.CloseKey();
  EXPECT_EQ(memory.OpenHandleCount(), 0u);
}

TEST_F(DirectoryConfigTest, DirectoryFileBesideTheProgram) {
  EXPECT_EQ(Read({}, "C:\\Program Files\\ZEB").directoryPath,
            "C:\\Program Files\\ZEB\\directory.ldif");
  EXPECT_EQ(Read({}, "C:\\").directoryPath, "C:\\directory.ldif");
  EXPECT_EQ(Read({}, "/opt/zeb").directoryPath, "/opt/zeb/directory.ldif");
  EXPECT_EQ(Read({}, "").directoryPath, "directory.ldif");
  EXPECT_EQ(Read({"/DIRECTORY="}, "C:\\Z").directoryPath, "C:\\Z\\directory.ldif");
}

}  // namespace
}  // namespace zeb
