// The profile list and each profile's folders as "/ALLUSERS" reads them, and the switch.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "platform/environment_text.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_system.h"
#include "platform/user_profiles.h"

namespace zeb {
namespace {

std::optional<std::string> Lookup(const std::string& name) {
  if (name == "USERPROFILE") return std::string("C:\\Users\\alice");
  if (name == "LOOP") return std::string("%LOOP%");
  return std::nullopt;
}

TEST(ExpandVariablesTest, ExpandsWhatIsDefinedAndKeepsTheRestAsItStands) {
  EXPECT_EQ(ExpandVariables("%USERPROFILE%\\Desktop", Lookup), "C:\\Users\\alice\\Desktop");
  EXPECT_EQ(ExpandVariables("%NOPE%\\Desktop", Lookup), "%NOPE%\\Desktop");
  // The text goes on after an undefined name, its closing sign included.
  EXPECT_EQ(ExpandVariables("%NOPE%USERPROFILE%", Lookup), "%NOPE%USERPROFILE%");
  // A value's own percent signs are not read again.
  EXPECT_EQ(ExpandVariables("%LOOP%!", Lookup), "%LOOP%!");
  EXPECT_EQ(ExpandVariables("100%", Lookup), "100%");
  EXPECT_EQ(ExpandVariables("%%USERPROFILE%", Lookup), "%%USERPROFILE%");
  EXPECT_EQ(ExpandVariables("", Lookup), "");
}

class UserProfilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    system.environment["SystemDrive"] = "D:";
    registry.ImportRegText(
        "REGEDIT4\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList]\n"
        "\"ProfilesDirectory\"=\"C:\\\\Users\"\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\A]\n"
        // REG_EXPAND_SZ "%SystemDrive%\Users\a", as Windows writes it
        "\"ProfileImagePath\"=hex(2):25,53,79,73,74,65,6d,44,72,69,76,65,25,5c,55,73,65,72,73,"
        "5c,61,00\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\B]\n"
        "\"ProfileImagePath\"=\"C:\\\\users\\\\b\\\\\"\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\C]\n"
        "\"ProfileImagePath\"=dword:00000001\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\D]\n");
  }
  MemoryRegistry registry;
  MemorySystem system;
};

TEST_F(UserProfilesTest, EveryListedProfileWithItsFolderExpandedOrNone) {
  const std::vector<UserProfile> profiles = ListUserProfiles(registry, system);
  ASSERT_EQ(profiles.size(), 4u);
  EXPECT_EQ(profiles[0].sid, "A");
  EXPECT_EQ(profiles[0].folder, "D:\\Users\\a");
  EXPECT_EQ(profiles[0].HiveFile(), "D:\\Users\\a\\NTUSER.DAT");
  EXPECT_EQ(profiles[0].UserName(), "a");
  EXPECT_EQ(profiles[1].UserName(), "b");
  // A number, or no value at all, names no folder; such a profile is named by its SID.
  EXPECT_EQ(profiles[2].folder, "");
  EXPECT_EQ(profiles[3].folder, "");
  EXPECT_EQ(profiles[3].UserName(), "D");
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(UserProfilesTest, WithoutAProfileListThereAreNoProfiles) {
  MemoryRegistry empty;
  EXPECT_TRUE(ListUserProfiles(empty, system).empty());
}

TEST_F(UserProfilesTest, AProfilesFoldersComeFromItsOwnHiveAndNothingIsCreatedThere) {
  registry.ImportRegText(
      "REGEDIT4\n\n"
      "[HKEY_USERS\\A\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\n"
      "\"Desktop\"=\"\"\n"
      "\"Start Menu\"=dword:00000001\n\n"
      "[HKEY_USERS\\A\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell "
      "Folders]\n"
      // "%USERPROFILE%\Desktop"
      "\"Desktop\"=hex(2):25,55,53,45,52,50,52,4f,46,49,4c,45,25,5c,44,65,73,6b,74,6f,70,00\n");
  system.environment["USERPROFILE"] = "C:\\Users\\someone else";
  const UserProfile a = ListUserProfiles(registry, system)[0];
  // An empty "Shell Folders" value falls back to "User Shell Folders", for her own folder.
  EXPECT_EQ(ProfileShellFolder(registry, system, a, "Desktop"), "D:\\Users\\a\\Desktop");
  // A value of another type names nothing, and a profile without a hive has no folders.
  EXPECT_EQ(ProfileShellFolder(registry, system, a, "Start Menu"), "");
  const UserProfile b = ListUserProfiles(registry, system)[1];
  EXPECT_EQ(ProfileShellFolder(registry, system, b, "Desktop"), "");
  EXPECT_FALSE(registry.HasKey(hkey::kUsers, "B"));
  EXPECT_TRUE(IsHiveLoaded(registry, "A"));
  EXPECT_FALSE(IsHiveLoaded(registry, "B"));
}

TEST(AllUsersSwitchTest, MatchesTheWholeArgumentInAnyCase) {
  ASSERT_EQ(MatchSwitches("/allUsers").size(), 1u);
  EXPECT_EQ(MatchSwitches("/allUsers")[0].which, Switch::kAllUsers);
  EXPECT_TRUE(MatchSwitches("/ALLUSERS=1").empty());
  EXPECT_TRUE(MatchSwitches("/ALLUSER").empty());
}

}  // namespace
}  // namespace zeb
