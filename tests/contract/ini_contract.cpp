// The profile functions as the INI scanner and Save use them. Every expectation here was
// first observed under Wine; the memory backend must answer the same.
#include <gtest/gtest.h>

#include <string>

#include "contract/backend.h"

namespace zeb::contract {
namespace {

using namespace std::string_literals;
using std::nullopt;

std::string IniFile(const std::string& content) {
  const std::string path = NewFolder() + "\\TEST.INI";
  WriteTestFile(path, content);
  return path;
}

std::string Value(const std::string& file, const std::string& section, const std::string& key,
                  std::size_t size = 1024, const std::string& fallback = "") {
  return Profiles().GetString(section, key, fallback, size, file);
}

std::string Sections(const std::string& file, std::size_t size = 8192) {
  return Profiles().GetString(nullopt, nullopt, "", size, file);
}

std::string Keys(const std::string& file, const std::string& section, std::size_t size = 8192) {
  return Profiles().GetString(section, nullopt, "", size, file);
}

bool Write(const std::string& file, const std::string& section, const std::string& key,
           const std::optional<std::string>& value) {
  return Profiles().WriteString(section, key, value, file);
}

TEST(IniContract, CommentsBlanksAndEntriesWithoutEquals) {
  const std::string file = IniFile(
      "; top comment\r\n"
      "loose=1\r\n"
      "[ Sec One ]\r\n"
      "  key1  =  value one  \r\n"
      ";comment=x\r\n"
      "noequals\r\n"
      "\r\n"
      "\tkey2\t=\t2\t\r\n"
      "[Two]\r\n"
      "a=1\r\n");
  EXPECT_EQ(Sections(file), "Sec One\0Two\0"s);
  EXPECT_EQ(Keys(file, "Sec One"), "key1\0key2\0"s);
  EXPECT_EQ(Value(file, "Sec One", "key1"), "value one");
  EXPECT_EQ(Value(file, "Sec One", "key2"), "2");
  // A comment is left out of the key list but is still an entry for a lookup.
  EXPECT_EQ(Value(file, "Sec One", ";comment"), "x");
  EXPECT_EQ(Value(file, "Sec One", "noequals", 1024, "D"), "D");
  EXPECT_EQ(Value(file, "", "loose"), "1");
  // Lookups ignore blanks around the names; the key list takes the section name as given.
  EXPECT_EQ(Value(file, "  sec one ", " KEY1 "), "value one");
  EXPECT_EQ(Keys(file, " Sec One "), "");
}

TEST(IniContract, OnePairOfMatchingOuterQuotesIsTakenOff) {
  const std::string file = IniFile(
      "[Q]\r\nq1=\"quoted\"\r\nq2='single'\r\nq3=\"half\r\nq4=\"a\"b\"\r\nq5='mixed\"\r\n"
      "long=\"" + std::string(1023, 'y') + "\"\r\n");
  EXPECT_EQ(Value(file, "Q", "q1"), "quoted");
  EXPECT_EQ(Value(file, "Q", "q2"), "single");
  EXPECT_EQ(Value(file, "Q", "q3"), "\"half");
  EXPECT_EQ(Value(file, "Q", "q4"), "a\"b");
  EXPECT_EQ(Value(file, "Q", "q5"), "'mixed\"");
  // Only a closing quote that lands in the buffer is taken off; one character short and
  // the last character goes instead.
  EXPECT_EQ(Value(file, "Q", "q1", 5), "quot");
  EXPECT_EQ(Value(file, "Q", "q1", 7), "quote");
  EXPECT_EQ(Value(file, "Q", "q1", 8), "quoted");
  EXPECT_EQ(Value(file, "Q", "long"), std::string(1022, 'y'));
}

TEST(IniContract, FirstSectionAndFirstEntryOfANameWin) {
  const std::string file =
      IniFile("[A]\r\nk=first\r\nK=second\r\n[b]\r\nx=1\r\n[a]\r\nk=third\r\nonly=here\r\n");
  EXPECT_EQ(Sections(file), "A\0b\0a\0"s);
  EXPECT_EQ(Keys(file, "a"), "k\0K\0"s);
  EXPECT_EQ(Value(file, "A", "K"), "first");
  EXPECT_EQ(Value(file, "a", "only", 1024, "D"), "D");
  ASSERT_TRUE(Write(file, "a", "only", "new"));
  EXPECT_EQ(ReadTestFile(file),
            "[A]\r\nk=first\r\nK=second\r\nonly=new\r\n[b]\r\nx=1\r\n[a]\r\nk=third\r\nonly=here\r\n");
}

TEST(IniContract, DeletingLooksOnThroughLaterSectionsOfTheName) {
  const std::string file = IniFile("[A]\r\na=1\r\nnoeq\r\n[a]\r\nb=2\r\n");
  EXPECT_TRUE(Write(file, "A", "b", nullopt));
  EXPECT_EQ(ReadTestFile(file), "[A]\r\na=1\r\nnoeq\r\n[a]\r\n");
  EXPECT_TRUE(Write(file, "A", "NOEQ", nullopt));
  EXPECT_EQ(ReadTestFile(file), "[A]\r\na=1\r\n[a]\r\n");
}

TEST(IniContract, ValuesWithEqualsSignsAndEntriesWithoutNames) {
  const std::string file = IniFile("[E]\r\neq=a=b=c\r\n=first\r\n=second\r\nk=v\r\n=third\r\n");
  EXPECT_EQ(Value(file, "E", "eq"), "a=b=c");
  // Of two unnamed entries in a row only the first is kept.
  EXPECT_EQ(Keys(file, "E"), "eq\0\0k\0\0"s);
  EXPECT_EQ(Value(file, "E", ""), "first");
  ASSERT_TRUE(Write(file, "E", "k", "w"));
  EXPECT_EQ(ReadTestFile(file), "[E]\r\neq=a=b=c\r\n=first\r\nk=w\r\n=third\r\n");
  // A list that starts with an unnamed entry reads as empty.
  EXPECT_EQ(Keys(IniFile("[U]\r\n=x\r\nk=v\r\n"), "U"), "");
}

TEST(IniContract, AMissingFileReadsEmptyAndAWriteCreatesIt) {
  const std::string file = NewFolder() + "\\NEW.INI";
  EXPECT_EQ(Sections(file), "");
  EXPECT_EQ(Keys(file, "S"), "");
  EXPECT_EQ(Value(file, "S", "k", 1024, "fallback  "), "fallback");
  EXPECT_TRUE(Write(file, "S", "k", nullopt));
  EXPECT_FALSE(TestFileExists(file));
  ASSERT_TRUE(Write(file, "S", "k", "v"));
  EXPECT_EQ(ReadTestFile(file), "[S]\r\nk=v\r\n");
}

TEST(IniContract, WritesRewriteTheWholeFileKeepingOrderAndComments) {
  const std::string file =
      IniFile("; head\r\n[A]\r\n  k1 = v1  \r\n;c\r\n\r\nk2=v2\r\n\r\n[ B ]\r\nk3=v3\r\nnoeq\r\n");
  ASSERT_TRUE(Write(file, "a", "K1", "new"));
  EXPECT_EQ(ReadTestFile(file), "; head\r\n[A]\r\nk1=new\r\n;c\r\nk2=v2\r\n[B]\r\nk3=v3\r\nnoeq\r\n");
  ASSERT_TRUE(Write(file, "B", "k4", "v4"));
  ASSERT_TRUE(Write(file, "C", "k5", "x=y"));
  ASSERT_TRUE(Write(file, "A", "empty", ""));
  EXPECT_EQ(ReadTestFile(file),
            "; head\r\n[A]\r\nk1=new\r\n;c\r\nk2=v2\r\nempty=\r\n[B]\r\nk3=v3\r\nnoeq\r\nk4=v4\r\n"
            "[C]\r\nk5=x=y\r\n");
  ASSERT_TRUE(Write(file, "A", "k2", nullopt));
  EXPECT_EQ(ReadTestFile(file),
            "; head\r\n[A]\r\nk1=new\r\n;c\r\nempty=\r\n[B]\r\nk3=v3\r\nnoeq\r\nk4=v4\r\n"
            "[C]\r\nk5=x=y\r\n");
}

TEST(IniContract, AWriteThatChangesNothingLeavesTheFileAlone) {
  const std::string original = "[A]\r\n  k = v  \r\n\r\n";
  const std::string file = IniFile(original);
  EXPECT_TRUE(Write(file, "A", "k", "v"));
  EXPECT_TRUE(Write(file, "A", "missing", nullopt));
  EXPECT_EQ(ReadTestFile(file), original);
}

TEST(IniContract, NewNamesAndValuesLoseOnlyTheirLeadingBlanks) {
  const std::string file = IniFile("[A]\r\nk=1\r\n");
  ASSERT_TRUE(Write(file, " A ", " key ", "  v  "));
  EXPECT_EQ(ReadTestFile(file), "[A]\r\nk=1\r\nkey =v  \r\n");
  EXPECT_EQ(Value(file, "A", "key"), "v");
  EXPECT_EQ(Keys(file, "A"), "k\0key\0"s);
}

TEST(IniContract, ValuesAndListsAreCutToTheBuffer) {
  const std::string file =
      IniFile("[Alpha]\r\nkey1=value\r\nKEY2=2\r\nlong=" + std::string(1100, 'x') + "\r\n[Beta]\r\n");
  EXPECT_EQ(Value(file, "Alpha", "long"), std::string(1023, 'x'));
  EXPECT_EQ(Value(file, "Alpha", "key1", 4), "val");
  EXPECT_EQ(Value(file, "Alpha", "key1", 1), "");
  EXPECT_EQ(Sections(file, 13), "Alpha\0Beta\0"s);
  EXPECT_EQ(Sections(file, 12), "Alpha\0Beta"s);
  EXPECT_EQ(Sections(file, 8), "Alpha\0"s);
  EXPECT_EQ(Sections(file, 7), "Alpha");
  EXPECT_EQ(Sections(file, 2), "");
  EXPECT_EQ(Sections(file, 1), "");
  EXPECT_EQ(Keys(file, "Alpha", 17), "key1\0KEY2\0long\0"s);
  EXPECT_EQ(Keys(file, "Alpha", 16), "key1\0KEY2\0long"s);
  EXPECT_EQ(Keys(file, "Alpha", 8), "key1\0K"s);
  EXPECT_EQ(Keys(file, "Alpha", 6), "key1");
  EXPECT_EQ(Keys(file, "Alpha", 2), "");
}

TEST(IniContract, MalformedFilesGiveClearResults) {
  const std::string big(1 << 20, 'm');
  const std::string unclosed = "[" + std::string(1 << 20, 'n');
  const std::string file = IniFile(
      "garbage\x01\x80\x90\xff\r\n"
      "[broken\r\n"
      "[a]b]\r\nk=1\r\n"
      "[Tail]  ; note\r\n"
      "x\0y=z\r\n"s
      "\x0b\x0c k\x1a=\xa0v\xa0\r\n"
      "[Lf]\nA=1\n[Cr]\rB=2\r\n"
      "[Big]\r\nbig=" + big + "\r\n" + unclosed + "\r\nafter=1\r\n");
  EXPECT_EQ(Sections(file), "a]b\0Tail\0Lf\0Cr\0Big\0"s);
  EXPECT_EQ(Keys(file, "Tail"), "x\0k\0"s);
  EXPECT_EQ(Value(file, "Tail", "x"), "z");
  EXPECT_EQ(Value(file, "Tail", "k"), "\xa0v\xa0");  // a no-break space is no blank
  EXPECT_EQ(Keys(file, "Lf"), "A\0"s);
  EXPECT_EQ(Keys(file, "Cr"), "B\0"s);
  EXPECT_EQ(Keys(file, "Big"), "big\0after\0"s);
  EXPECT_EQ(Value(file, "Big", "big"), std::string(1023, 'm'));
  ASSERT_TRUE(Write(file, "Tail", "x", "w"));
  EXPECT_EQ(ReadTestFile(file),
            "garbage\x01\x80\x90\xff\r\n[broken\r\n[a]b]\r\nk=1\r\n[Tail]\r\nx=w\r\nk=\xa0v\xa0\r\n"
            "[Lf]\r\nA=1\r\n[Cr]\r\nB=2\r\n[Big]\r\nbig=" + big + "\r\n" + unclosed + "\r\nafter=1\r\n");
}

TEST(IniContract, AByteOrderMarkChoosesTheEncoding) {
  const std::string utf8 = IniFile("\xEF\xBB\xBF[A]\r\nk=\xC3\xA9\xD0\x82\r\nbad=\xFF\r\n");
  EXPECT_EQ(Sections(utf8), "A\0"s);
  EXPECT_EQ(Value(utf8, "A", "k"), "\xE9?");
  EXPECT_EQ(Value(utf8, "A", "bad"), "?");
  ASSERT_TRUE(Write(utf8, "A", "j", "\xE9"));
  EXPECT_EQ(ReadTestFile(utf8), "\xEF\xBB\xBF[A]\r\nk=\xC3\xA9\xD0\x82\r\nbad=\xEF\xBF\xBD\r\nj=\xC3\xA9\r\n");

  const std::string utf16 = IniFile("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\xE9\0\x42\x04\r\0\n\0"s);
  EXPECT_EQ(Sections(utf16), "A\0"s);
  EXPECT_EQ(Value(utf16, "A", "k"), "\xE9?");
  ASSERT_TRUE(Write(utf16, "A", "j", "\xE9"));
  EXPECT_EQ(ReadTestFile(utf16),
            "\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\xE9\0\x42\x04\r\0\n\0j\0=\0\xE9\0\r\0\n\0"s);
}

TEST(IniContract, NamesIgnoreTheCaseOfAsciiLettersOnly) {
  const std::string file = IniFile("[Caf\xC9]\r\nK\xC9Y=1\r\nkey=2\r\n");
  EXPECT_EQ(Keys(file, "CAF\xC9"), "K\xC9Y\0key\0"s);
  EXPECT_EQ(Keys(file, "caf\xE9"), "");
  EXPECT_EQ(Value(file, "caf\xC9", "KEY"), "2");
  EXPECT_EQ(Value(file, "CAF\xC9", "k\xE9y", 1024, "D"), "D");
}

TEST(IniContract, WritesFailWhereTheFileCannotBeWritten) {
  const std::string folder = NewFolder();
  EXPECT_FALSE(Write(folder + "\\NODIR\\X.INI", "A", "k", "v"));
  EXPECT_FALSE(Write(folder + "\\NODIR\\X.INI", "A", "k", nullopt));
  EXPECT_FALSE(TestFileExists(folder + "\\NODIR"));
  MakeFolder(folder + "\\DIR.INI");
  EXPECT_FALSE(Write(folder + "\\DIR.INI", "A", "k", "v"));
  EXPECT_EQ(Value(folder + "\\DIR.INI", "A", "k", 1024, "D"), "D");
}

}  // namespace
}  // namespace zeb::contract
