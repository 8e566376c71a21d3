// What the memory hives do as Windows does where Wine differs (contract/hive_contract.cpp
// holds what both share): an unload keeps the hive's changes in its file, a handle open
// anywhere in the hive keeps it loaded, an existing file is not saved over; and what tests
// need: an account without the privileges.
#include <gtest/gtest.h>

#include "platform/hive.h"
#include "platform/memory/memory_hives.h"
#include "platform/registry.h"

namespace zeb {
namespace {

constexpr char kFile[] = "C:\\Users\\alice\\NTUSER.DAT";
constexpr char kSid[] = "S-1-5-21-1-2-3-1001";

class MemoryHivesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files.WriteFile(kFile,
                    "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\ZebSample]\r\n"
                    "\"UserName\"=\"Bob.Sales.Acme\"\r\n\"Raw\"=hex(7):61,00,00\r\n");
    ASSERT_EQ(hives.EnablePrivileges(), winerr::kSuccess);
  }

  std::optional<RegValue> Loaded(const std::string& name) const {
    return registry.GetValue(hkey::kUsers, std::string(kSid) + "\\Software\\ZebSample", name);
  }

  MemoryRegistry registry;
  MemoryFileSystem files;
  MemoryHives hives{registry, files};
};

TEST_F(MemoryHivesTest, AnUnloadKeepsTheChangesForTheNextLoad) {
  ASSERT_EQ(hives.LoadKey(hkey::kUsers, kSid, kFile), winerr::kSuccess);
  {
    Registry users(registry, hkey::kUsers);
    ASSERT_TRUE(users.OpenKey(std::string("\\") + kSid + "\\Software\\ZebSample", false));
    users.WriteString("UserName", "Robert.Marketing.Acme");
    ASSERT_TRUE(users.OpenKey("New\\Key", true));
    users.WriteInteger("Count", 3);
  }
  ASSERT_EQ(hives.UnLoadKey(hkey::kUsers, kSid), winerr::kSuccess);
  EXPECT_FALSE(registry.HasKey(hkey::kUsers, kSid));
  EXPECT_EQ(hives.LoadedCount(), 0u);

  ASSERT_EQ(hives.LoadKey(hkey::kUsers, kSid, kFile), winerr::kSuccess);
  const std::optional<RegValue> name = Loaded("UserName");
  ASSERT_TRUE(name);
  EXPECT_EQ(std::string(name->data.begin(), name->data.end()),
            std::string("Robert.Marketing.Acme") + '\0');
  // Every type and byte survives the round trip through the file.
  const std::optional<RegValue> raw = Loaded("Raw");
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->type, regtype::kMultiString);
  EXPECT_EQ(raw->data, (std::vector<std::uint8_t>{'a', 0, 0}));
  EXPECT_TRUE(registry.GetValue(hkey::kUsers, std::string(kSid) + "\\Software\\ZebSample\\New\\Key",
                                "Count"));
  EXPECT_EQ(hives.UnLoadKey(hkey::kUsers, kSid), winerr::kSuccess);
}

TEST_F(MemoryHivesTest, AHandleOpenBelowTheRootKeepsTheHiveLoaded) {
  ASSERT_EQ(hives.LoadKey(hkey::kUsers, kSid, kFile), winerr::kSuccess);
  {
    Registry users(registry, hkey::kUsers);
    ASSERT_TRUE(users.OpenKey(std::string("\\") + kSid + "\\Software\\ZebSample", false));
    EXPECT_EQ(hives.UnLoadKey(hkey::kUsers, kSid), winerr::kAccessDenied);
    EXPECT_TRUE(hives.IsLoaded(hkey::kUsers, kSid));
  }
  EXPECT_EQ(hives.UnLoadKey(hkey::kUsers, kSid), winerr::kSuccess);
}

TEST_F(MemoryHivesTest, OnlyAHiveCanBeUnloadedAndOnlyAFreshFileSaved) {
  registry.ImportRegText("REGEDIT4\r\n[HKEY_USERS\\.DEFAULT\\Software]\r\n");
  EXPECT_EQ(hives.UnLoadKey(hkey::kUsers, ".DEFAULT"), winerr::kInvalidParameter);
  EXPECT_TRUE(registry.HasKey(hkey::kUsers, ".DEFAULT\\Software"));

  const std::string before = *files.ReadFile(kFile);
  EXPECT_EQ(hives.SaveKey(hkey::kUsers, kFile), winerr::kAlreadyExists);
  EXPECT_EQ(files.ReadFile(kFile), before);
}

TEST(MemoryHivesPrivilegeTest, WithoutThePrivilegesNothingLoads) {
  MemoryRegistry registry;
  MemoryFileSystem files;
  files.WriteFile(kFile, "REGEDIT4\r\n");
  MemoryHives hives(registry, files);
  EXPECT_EQ(hives.LoadKey(hkey::kUsers, kSid, kFile), winerr::kPrivilegeNotHeld);
  hives.privilegesHeld = false;
  EXPECT_EQ(hives.EnablePrivileges(), winerr::kNotAllAssigned);
  EXPECT_EQ(hives.LoadKey(hkey::kUsers, kSid, kFile), winerr::kPrivilegeNotHeld);
  EXPECT_FALSE(registry.HasKey(hkey::kUsers, kSid));
}

}  // namespace
}  // namespace zeb
