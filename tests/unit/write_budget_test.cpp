// The memory backends stopped at their k-th write, as a process killed there: every kind of
// platform write spends the shared budget, and once it is spent each one throws without
// changing anything, while reads go on answering.
#include <gtest/gtest.h>

#include <functional>

#include "platform/memory/memory_file_bytes.h"
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_profiles.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_shell_links.h"

namespace zeb {
namespace {

constexpr RegKey kHklm = hkey::kLocalMachine;

class WriteBudgetTest : public ::testing::Test {
 protected:
  WriteBudgetTest() {
    files.MakeFolder("C:\\WINDOWS");
    files.WriteFile("C:\\WINDOWS\\NET.INI", "[Net]\r\nA=1\r\n");
    WriteShortcut(files, "C:\\App.lnk", {"C:\\old.exe", "", ""});
    RegKey key = 0;
    registry.CreateKey(kHklm, "Software\\Acme\\Old", &key);
    registry.SetValue(key, "V", regtype::kString, {'v', 0});
    registry.CloseKey(key);
    registry.UseWriteBudget(&budget);
    files.UseWriteBudget(&budget);
  }

  RegKey Open(const std::string& path) {
    RegKey key = 0;
    EXPECT_EQ(registry.OpenKey(kHklm, path, KeyAccess::kAll, &key), winerr::kSuccess);
    return key;
  }

  // One of each kind of write, each changing something.
  std::vector<std::pair<std::string, std::function<void()>>> EveryKindOfWrite() {
    return {
        {"CreateKey", [&] {
           RegKey key = 0;
           registry.CreateKey(kHklm, "Software\\Acme\\New\\Deeper", &key);
           registry.CloseKey(key);
         }},
        {"SetValue", [&] { registry.SetValue(Open("Software\\Acme"), "W", regtype::kDword, {1, 0, 0, 0}); }},
        {"DeleteValue", [&] { registry.DeleteValue(Open("Software\\Acme\\Old"), "V"); }},
        {"DeleteKey", [&] { registry.DeleteKey(kHklm, "Software\\Acme\\Old"); }},
        {"WritePrivateProfileString", [&] { profiles.WriteString("Net", "A", "2", "C:\\WINDOWS\\NET.INI"); }},
        {"IPersistFile::Save", [&] {
           const auto link = shellLinks.Create();
           link->Load("C:\\App.lnk");
           link->SetPath("C:\\new.exe");
           link->Save("C:\\App.lnk");
         }},
        {"WriteAll", [&] { (void)fileBytes.WriteAll("C:\\WINDOWS\\NEW.BIN", "bytes"); }},
        {"Remove", [&] { (void)fileBytes.Remove("C:\\WINDOWS\\NET.INI"); }},
    };
  }

  WriteBudget budget{0};
  MemoryRegistry registry;
  MemoryFileSystem files;
  MemoryProfiles profiles{files};
  MemoryShellLinkFactory shellLinks{files};
  MemoryFileBytes fileBytes{files};
};

TEST_F(WriteBudgetTest, EveryKindOfWriteSpendsOneUnit) {
  budget = WriteBudget(100);
  std::size_t before = 0;
  for (const auto& [name, write] : EveryKindOfWrite()) {
    write();
    EXPECT_EQ(budget.WritesMade(), before + 1) << name;
    before = budget.WritesMade();
  }
  // Opening, reading and creating a key that is already there write nothing.
  RegKey key = 0;
  registry.CreateKey(kHklm, "Software\\Acme", &key);
  std::uint32_t type = 0;
  registry.QueryValue(key, "W", &type, nullptr);
  registry.CloseKey(key);
  profiles.GetString(std::string("Net"), std::string("A"), "", 1024, "C:\\WINDOWS\\NET.INI");
  std::string bytes;
  (void)fileBytes.ReadAll("C:\\WINDOWS\\NEW.BIN", &bytes);
  EXPECT_EQ(budget.WritesMade(), before);
}

TEST_F(WriteBudgetTest, OnceSpentEveryWriteThrowsAndChangesNothing) {
  for (const auto& [name, write] : EveryKindOfWrite()) {
    SCOPED_TRACE(name);
    EXPECT_THROW(write(), SimulatedKill);
  }
  EXPECT_FALSE(registry.HasKey(kHklm, "Software\\Acme\\New"));
  EXPECT_FALSE(registry.GetValue(kHklm, "Software\\Acme", "W"));
  EXPECT_TRUE(registry.GetValue(kHklm, "Software\\Acme\\Old", "V"));
  EXPECT_EQ(files.ReadFile("C:\\WINDOWS\\NET.INI"), "[Net]\r\nA=1\r\n");
  EXPECT_EQ(ReadShortcut(files, "C:\\App.lnk")->target, "C:\\old.exe");
  EXPECT_FALSE(files.Exists("C:\\WINDOWS\\NEW.BIN"));
  EXPECT_EQ(budget.WritesMade(), 0u);
}

TEST_F(WriteBudgetTest, TheKillComesAtTheWriteAfterTheBudget) {
  budget = WriteBudget(2);
  RegKey key = Open("Software\\Acme");
  EXPECT_EQ(registry.SetValue(key, "One", regtype::kString, {'1', 0}), winerr::kSuccess);
  EXPECT_TRUE(profiles.WriteString("Net", "B", "2", "C:\\WINDOWS\\NET.INI"));
  try {
    registry.SetValue(key, "Three", regtype::kString, {'3', 0});
    ADD_FAILURE() << "the third write went through";
  } catch (const SimulatedKill& kill) {
    EXPECT_EQ(kill.writesMade, 2u);
  }
  registry.CloseKey(key);
  EXPECT_TRUE(registry.GetValue(kHklm, "Software\\Acme", "One"));
  EXPECT_FALSE(registry.GetValue(kHklm, "Software\\Acme", "Three"));
}

}  // namespace
}  // namespace zeb
