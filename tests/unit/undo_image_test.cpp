// Undo images where only the memory backend can make the Registry or a file misbehave: a
// capture that cannot read must say so instead of passing for "not found", and a restore that
// cannot write must say so too. What needs only the seams is in contract/undo_image_contract.cpp.
#include <gtest/gtest.h>

#include "changes/undo_image.h"
#include "platform/memory/memory_file_bytes.h"
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_registry.h"

namespace zeb {
namespace {

constexpr RegKey kHklm = hkey::kLocalMachine;

class UndoImageTest : public ::testing::Test {
 protected:
  UndoImageTest() {
    registry.ImportRegText(
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Acme]\n\"V\"=\"top\"\n\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Acme\\Locked]\n\"L\"=dword:00000001\n\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Acme\\Perflib]\n\"P\"=\"p\"\n");
    files.MakeFolder("C:\\WINDOWS");
    files.WriteFile("C:\\WINDOWS\\NET.INI", "[Net]\r\n");
  }

  MemoryRegistry registry;
  MemoryFileSystem files;
  MemoryFileBytes fileBytes{files};
};

TEST_F(UndoImageTest, WhatCannotBeReadGivesNoImageAtAll) {
  registry.FailOpen(kHklm, "Software\\Acme\\Locked");
  registry.FailEnumeration(kHklm, "Software\\Acme\\Perflib");

  EXPECT_FALSE(CaptureValue(registry, kHklm, "\\Software\\Acme\\Locked", "L"));
  EXPECT_FALSE(CaptureKey(registry, kHklm, "\\Software\\Acme\\Locked"));
  EXPECT_FALSE(CaptureKey(registry, kHklm, "\\Software\\Acme\\Perflib"));
  // A subtree with one unreadable key below is no image of the subtree.
  EXPECT_FALSE(CaptureKey(registry, kHklm, "\\Software\\Acme"));
  EXPECT_FALSE(CaptureKey(registry, kHklm, "\\Software"));
  // Beside the failures, "not found" stays "not found".
  const auto missing = CaptureValue(registry, kHklm, "\\Software\\Acme", "Absent");
  ASSERT_TRUE(missing);
  EXPECT_FALSE(missing->exists);
  EXPECT_TRUE(CaptureValue(registry, kHklm, "Software\\Acme", "V")->exists);

  files.FailReads("C:\\WINDOWS\\NET.INI");
  EXPECT_FALSE(CaptureFile(fileBytes, "C:\\WINDOWS\\NET.INI"));
  EXPECT_FALSE(CaptureFile(fileBytes, "C:\\WINDOWS"));  // a folder
  const auto noFile = CaptureFile(fileBytes, "C:\\WINDOWS\\NEW.INI");
  ASSERT_TRUE(noFile);
  EXPECT_FALSE(noFile->exists);
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(UndoImageTest, ARestoreThatCannotWriteSaysSoAndDoesTheRest) {
  const RegistryKeyImage acme = CaptureKey(registry, kHklm, "\\Software\\Acme").value();
  const RegistryValueImage top = CaptureValue(registry, kHklm, "\\Software\\Acme", "V").value();
  const RegistryValueImage gone;
  registry.FailWrites(kHklm, "Software\\Acme\\Locked");
  std::vector<std::uint8_t> changed{'x', 0};
  RegKey key = 0;
  ASSERT_EQ(registry.OpenKey(kHklm, "Software\\Acme", KeyAccess::kAll, &key), winerr::kSuccess);
  registry.SetValue(key, "V", regtype::kString, changed);
  registry.CloseKey(key);
  ASSERT_EQ(registry.OpenKey(kHklm, "Software\\Acme\\Locked", KeyAccess::kAll, &key),
            winerr::kSuccess);
  EXPECT_NE(registry.DeleteValue(key, "L"), winerr::kSuccess);  // the lock holds
  registry.CloseKey(key);

  EXPECT_FALSE(RestoreValue(registry, kHklm, "\\Software\\Acme\\Locked", "New", top));
  EXPECT_FALSE(RestoreValue(registry, kHklm, "\\Software\\Acme\\Locked", "L", gone));
  RegistryKeyImage different = acme;
  different.subKeys[0].image.values.clear();  // Locked without its value: needs a delete
  EXPECT_FALSE(RestoreKey(registry, kHklm, "\\Software\\Acme", different));
  // The parts that could be written were.
  EXPECT_EQ(CaptureValue(registry, kHklm, "\\Software\\Acme", "V").value(), top);
  EXPECT_EQ(registry.OpenHandleCount(), 0u);

  files.FailWrites("C:\\WINDOWS\\NET.INI");
  EXPECT_FALSE(RestoreFile(fileBytes, "C:\\WINDOWS\\NET.INI", FileImage{true, "x"}));
  EXPECT_FALSE(RestoreFile(fileBytes, "C:\\WINDOWS\\NET.INI", FileImage{}));
  EXPECT_EQ(files.ReadFile("C:\\WINDOWS\\NET.INI"), "[Net]\r\n");
}

TEST_F(UndoImageTest, TheRootOfAHiveIsNeverDeletedForAMissingImage) {
  EXPECT_FALSE(RestoreKey(registry, kHklm, "", RegistryKeyImage{}));
  EXPECT_FALSE(RestoreKey(registry, kHklm, "\\", RegistryKeyImage{}));
  EXPECT_TRUE(registry.HasKey(kHklm, "Software\\Acme\\Locked"));
}

// The topmost key a write with create would make, spelt as asked; nothing when there is none
// to make, and nothing when a key on the way cannot be opened (that is no "missing").
TEST_F(UndoImageTest, TheTopmostMissingKeyIsTheFirstPartThatIsNotThere) {
  EXPECT_FALSE(TopmostMissingKey(registry, kHklm, "\\Software\\Acme\\Locked"));
  EXPECT_FALSE(TopmostMissingKey(registry, kHklm, ""));
  EXPECT_EQ(TopmostMissingKey(registry, kHklm, "\\Software\\Acme\\New"),
            "\\Software\\Acme\\New");
  EXPECT_EQ(TopmostMissingKey(registry, kHklm, "\\SOFTWARE\\acme\\New\\Deeper\\Deepest"),
            "\\SOFTWARE\\acme\\New");
  EXPECT_EQ(TopmostMissingKey(registry, kHklm, "Gone\\Below"), "Gone");

  registry.FailOpen(kHklm, "Software\\Acme\\Locked");
  EXPECT_FALSE(TopmostMissingKey(registry, kHklm, "\\Software\\Acme\\Locked\\New"));
}

}  // namespace
}  // namespace zeb
