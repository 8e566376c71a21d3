#include <gtest/gtest.h>

#include "platform/text.h"

namespace zeb {
namespace {

TEST(TextCase, FoldsAsciiLettersOnly) {
  EXPECT_EQ(UpperAscii("acme_Tree 1.x"), "ACME_TREE 1.X");
  EXPECT_TRUE(EqualsIgnoreCase("Sales.Acme", "SALES.acme"));
  // An accented letter in another case is a different character.
  EXPECT_FALSE(EqualsIgnoreCase("\xE9t\xE9", "\xC9T\xC9"));
  EXPECT_TRUE(EqualsIgnoreCase("\xE9t\xE9", "\xE9T\xE9"));
  EXPECT_FALSE(EqualsIgnoreCase("abc", "abcd"));
}

TEST(TextFind, FirstOccurrenceIgnoringCase) {
  EXPECT_EQ(FindIgnoreCase("C:\\ACME\\bin;C:\\Acme\\lib", "acme"), 3u);
  EXPECT_EQ(FindIgnoreCase("abc", "abcd"), kNotFound);
  EXPECT_EQ(FindIgnoreCase("xxAbAb", "ab"), 2u);
  EXPECT_TRUE(StartsWithIgnoreCase("\\\\acme_tree\\x", "\\\\ACME_TREE"));
  EXPECT_TRUE(EndsWithIgnoreCase("\\k\\Bob.Sales.Acme.ACME_TREE", ".acme_tree"));
  EXPECT_FALSE(EndsWithIgnoreCase("E", ".acme_tree"));
}

TEST(TextReplace, OnlyTheFirstOccurrenceAndTheRestKeepsItsCase) {
  std::string out;
  ASSERT_TRUE(ReplaceFirstIgnoreCase("C:\\ACME\\bin;C:\\Acme\\lib", "acme", "NewCo", &out));
  EXPECT_EQ(out, "C:\\NewCo\\bin;C:\\Acme\\lib");
  ASSERT_TRUE(ReplaceFirstIgnoreCase("AcmeFlags", "ACME", "", &out));
  EXPECT_EQ(out, "Flags");
  out = "untouched";
  EXPECT_FALSE(ReplaceFirstIgnoreCase("nothing here", "acme", "x", &out));
  EXPECT_FALSE(ReplaceFirstIgnoreCase("text", "", "x", &out));
  EXPECT_EQ(out, "untouched");
}

TEST(TextFormat, SubstitutesTheArgument) {
  EXPECT_EQ(SubstituteArgument("Failed to get data for '%s'", "Last Run"),
            "Failed to get data for 'Last Run'");
  EXPECT_EQ(Cut("abcdef", 3), "abc");
  EXPECT_EQ(Cut("ab", 3), "ab");
}

}  // namespace
}  // namespace zeb
