// The shell's shortcut object as the shortcut scanner and Save use it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "contract/backend.h"

namespace zeb::contract {
namespace {

const std::string kTarget = "\\\\ACME_TREE\\.SYS.Unit.Org\\APPS\\WP.EXE";
const std::string kDirectory = "\\\\ACME_TREE\\.SYS.Unit.Org\\APPS";
const std::string kArguments = "/profile \"Office Tools\" /q";

struct Fields {
  bool ok = false;
  std::string target, directory, arguments;
};

Fields ReadFields(ShellLink& link) {
  Fields fields;
  fields.ok = link.GetPath(&fields.target);
  fields.ok = link.GetWorkingDirectory(&fields.directory) && fields.ok;
  fields.ok = link.GetArguments(&fields.arguments) && fields.ok;
  return fields;
}

std::unique_ptr<ShellLink> NewLink() {
  std::unique_ptr<ShellLink> link = ShellLinks().Create();
  if (!link) ADD_FAILURE() << "the shortcut object cannot be created";
  return link;
}

// A shortcut made through the shortcut object itself.
std::string SaveShortcut(const std::string& path, const std::string& target,
                         const std::string& directory, const std::string& arguments) {
  const std::unique_ptr<ShellLink> link = NewLink();
  EXPECT_TRUE(link->SetPath(target));
  EXPECT_TRUE(link->SetWorkingDirectory(directory));
  EXPECT_TRUE(link->SetArguments(arguments));
  EXPECT_TRUE(link->Save(path));
  return path;
}

TEST(ShortcutContract, UncFieldsSurviveSaveAndLoad) {
  const std::string path = SaveShortcut(NewFolder() + "\\WP.LNK", kTarget, kDirectory, kArguments);
  const std::unique_ptr<ShellLink> link = NewLink();
  ASSERT_TRUE(link->Load(path));
  const Fields fields = ReadFields(*link);
  EXPECT_TRUE(fields.ok);
  EXPECT_EQ(fields.target, kTarget);
  EXPECT_EQ(fields.directory, kDirectory);
  EXPECT_EQ(fields.arguments, kArguments);
}

TEST(ShortcutContract, ChangingOneFieldKeepsTheOthers) {
  const std::string path = SaveShortcut(NewFolder() + "\\WP.LNK", kTarget, kDirectory, kArguments);
  const std::string newTarget = "\\\\ACME_TREE\\.VOL1.Org\\APPS\\WP.EXE";
  {
    const std::unique_ptr<ShellLink> link = NewLink();
    ASSERT_TRUE(link->Load(path));
    EXPECT_TRUE(link->SetPath(newTarget));
    EXPECT_TRUE(link->Save(path));
  }
  const std::unique_ptr<ShellLink> link = NewLink();
  ASSERT_TRUE(link->Load(path));
  const Fields fields = ReadFields(*link);
  EXPECT_EQ(fields.target, newTarget);
  EXPECT_EQ(fields.directory, kDirectory);
  EXPECT_EQ(fields.arguments, kArguments);
}

TEST(ShortcutContract, AFileThatIsNoShortcutFailsAndLeavesNothingBehind) {
  const std::string folder = NewFolder();
  const std::string good = SaveShortcut(folder + "\\GOOD.LNK", kTarget, kDirectory, kArguments);
  const std::string junk = folder + "\\JUNK.LNK";
  WriteTestFile(junk, "this is not a shortcut\r\n");
  WriteTestFile(folder + "\\EMPTY.LNK", "");

  const std::unique_ptr<ShellLink> link = NewLink();
  ASSERT_TRUE(link->Load(good));
  for (const std::string& bad : {junk, folder + "\\EMPTY.LNK", folder + "\\MISSING.LNK"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(link->Load(bad));
    const Fields fields = ReadFields(*link);
    EXPECT_FALSE(fields.ok);
    EXPECT_EQ(fields.target + fields.directory + fields.arguments, "");
  }
  // Nothing of the good file may be saved over the bad one either.
  EXPECT_FALSE(link->SetPath(kTarget));
  EXPECT_FALSE(link->Save(junk));
  EXPECT_EQ(ReadTestFile(junk), "this is not a shortcut\r\n");

  ASSERT_TRUE(link->Load(good));
  EXPECT_EQ(ReadFields(*link).target, kTarget);
}

TEST(ShortcutContract, FieldsComeOnlyFromTheFileLoaded) {
  const std::string folder = NewFolder();
  const std::string full = SaveShortcut(folder + "\\FULL.LNK", kTarget, kDirectory, kArguments);
  const std::string bare = SaveShortcut(folder + "\\BARE.LNK", "C:\\APPS\\NOTE.EXE", "", "");
  const std::unique_ptr<ShellLink> link = NewLink();
  ASSERT_TRUE(link->Load(full));
  ASSERT_TRUE(link->Load(bare));
  const Fields fields = ReadFields(*link);
  EXPECT_EQ(fields.target, "C:\\APPS\\NOTE.EXE");
  EXPECT_EQ(fields.directory, "");
  EXPECT_EQ(fields.arguments, "");
}

TEST(ShortcutContract, LongFieldsAreCutTo511Characters) {
  const std::string arguments(600, 'a');
  const std::string directory = "C:\\" + std::string(597, 'w');
  const std::string path = SaveShortcut(NewFolder() + "\\LONG.LNK", kTarget, directory, arguments);
  const std::unique_ptr<ShellLink> link = NewLink();
  ASSERT_TRUE(link->Load(path));
  const Fields fields = ReadFields(*link);
  EXPECT_EQ(fields.arguments, arguments.substr(0, 511));
  EXPECT_EQ(fields.directory, directory.substr(0, 511));
}

TEST(ShortcutContract, TargetQuotesAreTakenOffAndSavingNeedsAFolder) {
  const std::unique_ptr<ShellLink> link = NewLink();
  EXPECT_TRUE(link->SetPath("\"C:\\Program Files\\App\\app.exe\""));
  std::string target;
  EXPECT_TRUE(link->GetPath(&target));
  EXPECT_EQ(target, "C:\\Program Files\\App\\app.exe");
  const std::string folder = NewFolder();
  EXPECT_FALSE(link->Save(folder + "\\NODIR\\X.LNK"));
  EXPECT_FALSE(TestFileExists(folder + "\\NODIR"));
}

}  // namespace
}  // namespace zeb::contract
