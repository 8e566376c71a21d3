// Hive files over each backend: a key saved by the platform's own RegSaveKey, loaded below
// HKEY_USERS, read and written there, and unloaded. Each test saves its hive from a key of
// its own below HKCU\Software\ZebHiveContract and loads it under a name of its own.
// What the backends do not share stays out: Wine unloads a hive while handles below its
// root are open, does not write a loaded hive back to its file, and saves over an existing
// file; Windows and the memory backend refuse the first, do the second and refuse the third
// (unit/memory_hives_test.cpp).
#include <gtest/gtest.h>

#include "contract/backend.h"
#include "platform/hive.h"
#include "platform/registry.h"

namespace zeb::contract {
namespace {

constexpr char kSources[] = "\\Software\\ZebHiveContract";

class HiveContract : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Hives().EnablePrivileges(), winerr::kSuccess) << BackendName();
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    source_ = std::string(kSources) + "\\" + test;
    name_ = "ZebHiveContract-" + test;
    folder_ = NewFolder();
    Layer().DeleteKey(source_);
  }
  void TearDown() override {
    Layer().DeleteKey(source_);
    EXPECT_FALSE(Users().KeyExists("\\" + name_)) << "a hive was left loaded";
  }
  static void TearDownTestSuite() { Layer().DeleteKey(kSources); }

  static zeb::Registry Layer() { return zeb::Registry(Registry(), hkey::kCurrentUser); }
  static zeb::Registry Users() { return zeb::Registry(Registry(), hkey::kUsers); }

  // A hive file holding Software\ZebSample with a text and a number, saved by the platform.
  std::string SaveSampleHive(const std::string& fileName) {
    zeb::Registry source = Layer();
    EXPECT_TRUE(source.OpenKey(source_ + "\\Software\\ZebSample", true));
    source.WriteString("UserName", "Bob.Sales.Acme");
    source.WriteInteger("Flags", 7);
    EXPECT_TRUE(source.OpenKey(source_, false));
    const std::string file = folder_ + "\\" + fileName;
    EXPECT_EQ(Hives().SaveKey(source.CurrentKey(), file), winerr::kSuccess) << file;
    return file;
  }

  std::string source_;
  std::string name_;
  std::string folder_;
};

TEST_F(HiveContract, ALoadedHiveShowsTheSavedKeysTakesWritesAndGoesWithItsOwner) {
  const std::string file = SaveSampleHive("NTUSER.DAT");
  {
    long error = -1;
    LoadedHive hive = LoadedHive::Load(Hives(), hkey::kUsers, name_, file, &error);
    ASSERT_EQ(error, winerr::kSuccess);
    ASSERT_TRUE(hive);
    zeb::Registry users = Users();
    ASSERT_TRUE(users.OpenKey("\\" + name_ + "\\Software\\ZebSample", false));
    EXPECT_EQ(users.ReadString("UserName"), "Bob.Sales.Acme");
    EXPECT_EQ(users.ReadInteger("Flags"), 7);
    users.WriteString("UserName", "Robert.Marketing.Acme");
    EXPECT_EQ(users.ReadString("UserName"), "Robert.Marketing.Acme");
    users.CloseKey();
    // Moved into a list, it is still unloaded once, by its last owner.
    std::vector<LoadedHive> held;
    held.push_back(std::move(hive));
    EXPECT_FALSE(hive);
  }
  EXPECT_FALSE(Users().KeyExists("\\" + name_));
}

TEST_F(HiveContract, AKeyThatExistsCannotBeLoadedOver) {
  const std::string file = SaveSampleHive("NTUSER.DAT");
  long error = -1;
  LoadedHive hive = LoadedHive::Load(Hives(), hkey::kUsers, name_, file, &error);
  ASSERT_EQ(error, winerr::kSuccess);
  LoadedHive again = LoadedHive::Load(Hives(), hkey::kUsers, name_, file, &error);
  EXPECT_EQ(error, winerr::kAlreadyExists);
  EXPECT_FALSE(again);
  // The refused load left the first one as it was.
  EXPECT_TRUE(Users().KeyExists("\\" + name_ + "\\Software\\ZebSample"));
}

TEST_F(HiveContract, AMissingFileOrFolderIsReportedAndLoadsNothing) {
  EXPECT_EQ(Hives().LoadKey(hkey::kUsers, name_, folder_ + "\\NTUSER.DAT"), winerr::kFileNotFound);
  EXPECT_EQ(Hives().LoadKey(hkey::kUsers, name_, folder_ + "\\gone\\NTUSER.DAT"),
            winerr::kPathNotFound);
  EXPECT_FALSE(Users().KeyExists("\\" + name_));
}

TEST_F(HiveContract, AFileThatAnotherProgramHoldsOpenIsInUse) {
  const std::string file = SaveSampleHive("NTUSER.DAT");
  const std::shared_ptr<void> held = HoldFileOpen(file);
  EXPECT_EQ(Hives().LoadKey(hkey::kUsers, name_, file), winerr::kSharingViolation);
  EXPECT_FALSE(Users().KeyExists("\\" + name_));
}

TEST_F(HiveContract, AFileThatIsNoHiveIsRefused) {
  const std::string file = folder_ + "\\NTUSER.DAT";
  WriteTestFile(file, "garbage\n");
  long error = -1;
  const LoadedHive hive = LoadedHive::Load(Hives(), hkey::kUsers, name_, file, &error);
  EXPECT_EQ(error, winerr::kNotRegistryFile);
  EXPECT_FALSE(hive);
  EXPECT_FALSE(Users().KeyExists("\\" + name_));
}

TEST_F(HiveContract, AnOpenHandleToTheHivesRootKeepsItLoaded) {
  const std::string file = SaveSampleHive("NTUSER.DAT");
  long error = -1;
  LoadedHive hive = LoadedHive::Load(Hives(), hkey::kUsers, name_, file, &error);
  ASSERT_EQ(error, winerr::kSuccess);
  {
    zeb::Registry users = Users();
    ASSERT_TRUE(users.OpenKey("\\" + name_, false));
    EXPECT_EQ(Hives().UnLoadKey(hkey::kUsers, name_), winerr::kAccessDenied);
  }
  EXPECT_TRUE(Users().KeyExists("\\" + name_ + "\\Software\\ZebSample"));
  EXPECT_EQ(hive.Unload(), winerr::kSuccess);
  EXPECT_FALSE(hive);
  EXPECT_FALSE(Users().KeyExists("\\" + name_));
}

TEST_F(HiveContract, UnloadingANameThatIsNotThereFindsNothing) {
  EXPECT_EQ(Hives().UnLoadKey(hkey::kUsers, name_), winerr::kFileNotFound);
}

}  // namespace
}  // namespace zeb::contract
