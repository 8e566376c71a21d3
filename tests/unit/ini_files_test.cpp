// The program's INI layer: list buffers, the value buffer and the write error.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/ini.h"
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_profiles.h"

namespace zeb {
namespace {

struct IniSetup {
  MemoryFileSystem files;
  MemoryProfiles profiles{files};
  IniFiles ini{profiles};
};

TEST(IniFilesTest, NamesBeyondAFullListBufferAreNotSeen) {
  IniSetup s;
  std::string text;
  char name[16];
  for (int i = 0; i < 1200; ++i) {
    std::snprintf(name, sizeof(name), "Sec%04d", i);
    text += "[" + std::string(name) + "]\r\nk" + std::to_string(i) + "=1\r\n";
  }
  s.files.WriteFile("C:\\MANY.INI", text);
  // 8190 bytes hold 1023 names of 8 bytes, and the first 6 bytes of the next name.
  const std::vector<std::string> sections = s.ini.ReadSections("C:\\MANY.INI");
  ASSERT_EQ(sections.size(), 1024u);
  EXPECT_EQ(sections[1022], "Sec1022");
  EXPECT_EQ(sections[1023], "Sec102");
  EXPECT_EQ(s.ini.ReadKeys("C:\\MANY.INI", "sec1199"), (std::vector<std::string>{"k1199"}));
}

TEST(IniFilesTest, AKeyListEndsAtAnUnnamedEntry) {
  IniSetup s;
  s.files.WriteFile("C:\\A.INI", "[A]\r\na=1\r\nb=2\r\n=x\r\nc=3\r\n");
  EXPECT_EQ(s.ini.ReadKeys("C:\\A.INI", "A"), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(s.ini.ReadKeys("C:\\A.INI", "missing").empty());
  EXPECT_TRUE(s.ini.ReadSections("C:\\MISSING.INI").empty());
}

TEST(IniFilesTest, ValuesAreCutTo1023BytesAndMissingOnesAreEmpty) {
  IniSetup s;
  s.files.WriteFile("C:\\A.INI", "[A]\r\nlong=" + std::string(2000, 'v') + "\r\n");
  EXPECT_EQ(s.ini.ReadString("C:\\A.INI", "A", "long"), std::string(1023, 'v'));
  EXPECT_EQ(s.ini.ReadString("C:\\A.INI", "A", "missing"), "");
}

TEST(IniFilesTest, AFailedWriteRaisesTheProgramsErrorText) {
  IniSetup s;
  try {
    s.ini.WriteString("C:\\NODIR\\X.INI", "A", "k", "v");
    FAIL() << "no error raised";
  } catch (const IniError& error) {
    EXPECT_STREQ(error.what(), "Unable to write to C:\\NODIR\\X.INI");
  }
  s.files.WriteFile("C:\\A.INI", "[A]\r\nk=v\r\n");
  s.files.FailWrites("C:\\A.INI");
  EXPECT_THROW(s.ini.WriteString("C:\\A.INI", "A", "k", "w"), IniError);
  EXPECT_NO_THROW(s.ini.DeleteKey("C:\\A.INI", "A", "k"));
  EXPECT_EQ(s.files.ReadFile("C:\\A.INI"), "[A]\r\nk=v\r\n");
}

TEST(IniFilesTest, WritingAndDeletingChangeTheFile) {
  IniSetup s;
  s.files.WriteFile("C:\\A.INI", "[A]\r\nold=v\r\n");
  s.ini.WriteString("C:\\A.INI", "A", "new", "v");
  s.ini.DeleteKey("C:\\A.INI", "A", "old");
  EXPECT_EQ(s.files.ReadFile("C:\\A.INI"), "[A]\r\nnew=v\r\n");
}

}  // namespace
}  // namespace zeb
