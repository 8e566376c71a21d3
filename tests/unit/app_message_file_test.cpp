#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "app/message_file.h"
#include "platform/memory/memory_system.h"

namespace zeb {
namespace {

class ExpandEnvironmentTest : public ::testing::Test {
 protected:
  std::string Expand(const std::string& line) { return ExpandEnvironmentInLine(line, system_); }
  MemorySystem system_;
};

TEST_F(ExpandEnvironmentTest, DefinedVariablesBecomeTheirValues) {
  system_.environment["USERNAME"] = "bob";
  system_.environment["HOMEDRIVE"] = "H:";
  EXPECT_EQ(Expand("Welcome %USERNAME%"), "Welcome bob");
  EXPECT_EQ(Expand("%USERNAME%, your drive is %HOMEDRIVE%."), "bob, your drive is H:.");
  EXPECT_EQ(Expand("%username%"), "bob");  // the environment ignores case
  EXPECT_EQ(Expand("no variables here"), "no variables here");
  EXPECT_EQ(Expand(""), "");
}

TEST_F(ExpandEnvironmentTest, StrayPercentSignsVanishAndUndefinedNamesStay) {
  EXPECT_EQ(Expand("100% sure"), "100 sure");
  EXPECT_EQ(Expand("%UNDEFINED_NAME%"), "UNDEFINED_NAME");
  EXPECT_EQ(Expand("a%%b"), "ab");
  EXPECT_EQ(Expand("%%%%"), "");
  EXPECT_EQ(Expand("%"), "");
  EXPECT_EQ(Expand("50% or 60% off"), "50 or 60 off");
}

TEST_F(ExpandEnvironmentTest, AnEmptyValueCountsAsUndefined) {
  system_.environment["EMPTY"] = "";
  EXPECT_EQ(Expand("[%EMPTY%]"), "[EMPTY]");
}

TEST_F(ExpandEnvironmentTest, PercentSignsInsideAValueAreReadOnTheNextPass) {
  system_.environment["OUTER"] = "<%INNER%>";
  system_.environment["INNER"] = "core";
  EXPECT_EQ(Expand("%OUTER%"), "<core>");
  system_.environment["RATE"] = "5% off";
  EXPECT_EQ(Expand("Now %RATE%!"), "Now 5 off!");
}

TEST_F(ExpandEnvironmentTest, AValueThatBringsBackItsOwnNameEnds) {
  system_.environment["SELF"] = "%SELF%";
  EXPECT_EQ(Expand("x%SELF%y"), "xSELFy");
  // Growing values stop growing at the bound.
  system_.environment["TWICE"] = "a%TWICE%%TWICE%";
  const std::string expanded = Expand("%TWICE%");
  EXPECT_EQ(expanded.find('%'), std::string::npos);
  EXPECT_EQ(expanded, std::string(kMaxValuesPerLine, 'a') + [] {
    std::string rest;  // the names still waiting when the bound is reached
    for (int i = 0; i <= kMaxValuesPerLine; ++i) rest += "TWICE";
    return rest;
  }());
}

TEST_F(ExpandEnvironmentTest, LongValuesAreInsertedWhole) {
  const std::string longValue(1000, 'L');
  system_.environment["LONG"] = longValue;
  EXPECT_EQ(Expand("<%LONG%>"), "<" + longValue + ">");
}

TEST(SplitLinesTest, EveryLineEndCountsAndAFinalOneAddsNoLine) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(SplitLines(""), Lines{});
  EXPECT_EQ(SplitLines("one"), Lines{"one"});
  EXPECT_EQ(SplitLines("one\r\ntwo\r\n"), (Lines{"one", "two"}));
  EXPECT_EQ(SplitLines("a\nb\rc\r\n\r\nd"), (Lines{"a", "b", "c", "", "d"}));
  EXPECT_EQ(SplitLines("\n"), Lines{""});
}

TEST(DiskTextFilesTest, ReadsAFileAndTellsFoldersAndMissingFilesApart) {
  const std::string path = ::testing::TempDir() + "zeb_message_file_test.txt";
  {
    std::ofstream out(path, std::ios::binary);
    out << "Welcome %USERNAME%\r\nSecond line\r\n";
  }
  DiskTextFiles files;
  EXPECT_TRUE(files.Exists(path));
  const auto lines = files.ReadLines(path);
  ASSERT_TRUE(lines.has_value());
  EXPECT_EQ(*lines, (std::vector<std::string>{"Welcome %USERNAME%", "Second line"}));
  std::remove(path.c_str());

  EXPECT_FALSE(files.Exists(path));
  EXPECT_FALSE(files.ReadLines(path).has_value());
  EXPECT_FALSE(files.Exists(::testing::TempDir()));
}

}  // namespace
}  // namespace zeb
