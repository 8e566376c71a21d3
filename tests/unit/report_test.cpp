#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>

#include "changes/report.h"
#include "support/recording_file_writer.h"
#include "support/recording_view.h"

namespace zeb {
namespace {

using testing::RecordingView;

constexpr char kBom[] = "\xEF\xBB\xBF";
constexpr char kHeader[] = "line,ticked,kind,subType,location,oldText,newText,status\r\n";

TEST(CsvFieldTest, QuotesOnlyWhatNeedsIt) {
  EXPECT_EQ(CsvField("plain text; with semicolon"), "plain text; with semicolon");
  EXPECT_EQ(CsvField(""), "");
  EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
  EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
  EXPECT_EQ(CsvField("lf\nonly"), "\"lf\nonly\"");
  EXPECT_EQ(CsvField("cr\ronly"), "\"cr\ronly\"");
}

TEST(CsvFieldTest, AFieldThatAsSpreadsheetWouldRunStartsWithAnApostrophe) {
  EXPECT_EQ(CsvField("=HYPERLINK(\"http://x\")"), "\"'=HYPERLINK(\"\"http://x\"\")\"");
  EXPECT_EQ(CsvField("+1"), "'+1");
  EXPECT_EQ(CsvField("-2+3"), "'-2+3");
  EXPECT_EQ(CsvField("@SUM(A1)"), "'@SUM(A1)");
  EXPECT_EQ(CsvField("\tindented"), "'\tindented");
  EXPECT_EQ(CsvField("\rthen,more"), "\"'\rthen,more\"");  // quoted because of CR and comma
  // Only the first character counts; an apostrophe already there is not doubled.
  EXPECT_EQ(CsvField("a=b"), "a=b");
  EXPECT_EQ(CsvField(" =1"), " =1");
  EXPECT_EQ(CsvField("'=1"), "'=1");
  EXPECT_EQ(CsvField("'"), "'");
}

class ReportTest : public ::testing::Test {
 protected:
  ReportTest() { flags.shortcutsTicked = true; }

  RecordingView view;
  RunFlags flags;
  ChangeList changes{view, view, flags};
  testing::RecordingFileWriter writer;
  ChangeReport report{"C:\\reports\\zeb.csv", writer, view};
};

TEST_F(ReportTest, AfterTheScanEveryLineIsProposed) {
  changes.AddChange(changekind::kIniEntry, kChangeVariableContents, "C:\\WINDOWS\\A.INI",
                    "[Net]Ctx", "new, \"quoted\" value");
  changes.AddChange(changekind::kShortcutFile, kChangeShortcutArguments, "C:\\Desk\\caf\xE9.lnk",
                    "/x", "/y");
  changes.AddChange(0x80000002u, kRenameHive, "\\SOFTWARE\\Old", "\\SOFTWARE\\New", "");
  changes.AddChange(0x80000003u, kChangeVariableName, "", "Old", "New");
  view.lines[1].ticked = false;

  report.Write(changes, view);

  ASSERT_EQ(writer.files.count("C:\\reports\\zeb.csv"), 1u);
  EXPECT_EQ(writer.files["C:\\reports\\zeb.csv"],
            std::string(kBom) + kHeader +
                "1,1,INI,3,C:\\WINDOWS\\A.INI,[Net]Ctx,\"new, \"\"quoted\"\" value\",proposed\r\n"
                "2,0,SHORTCUT,6,C:\\Desk\\caf\xC3\xA9.lnk,/x,/y,proposed\r\n"
                "3,1,HKEY_LOCAL_MACHINE,1,\\SOFTWARE\\Old,\\SOFTWARE\\New,,proposed\r\n"
                "4,1,HKEY_USERS,2,,Old,New,proposed\r\n");
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(ReportTest, AfterSaveEachLineCarriesItsOutcome) {
  for (int i = 0; i < 5; ++i)
    changes.AddChange(0x80000002u, kChangeVariableContents, "\\K", "v" + std::to_string(i), "x");
  std::vector<LineOutcome> outcomes = {
      {LineStatus::kWritten, ""},
      {LineStatus::kUnticked, ""},
      {LineStatus::kFailed, "Failed to set data for 'v2'"},
      {LineStatus::kNotReached, ""},
      {LineStatus::kFailed, "line one\r\nsecond, \"quoted\" line \x80"},
  };
  view.lines[1].ticked = false;

  report.Write(changes, view, outcomes);

  EXPECT_EQ(writer.files["C:\\reports\\zeb.csv"],
            std::string(kBom) + kHeader +
                "1,1,HKEY_LOCAL_MACHINE,3,\\K,v0,x,written\r\n"
                "2,0,HKEY_LOCAL_MACHINE,3,\\K,v1,x,unticked\r\n"
                "3,1,HKEY_LOCAL_MACHINE,3,\\K,v2,x,failed: Failed to set data for 'v2'\r\n"
                "4,1,HKEY_LOCAL_MACHINE,3,\\K,v3,x,not reached\r\n"
                "5,1,HKEY_LOCAL_MACHINE,3,\\K,v4,x,"
                "\"failed: line one\r\nsecond, \"\"quoted\"\" line \xE2\x82\xAC\"\r\n");
}

TEST_F(ReportTest, MessagesFollowTheChangesWithOnlyTheirStatus) {
  changes.AddChange(0x80000002u, kChangeVariableContents, "\\K", "v", "x");
  report.AddMessage("DXCallsInit Failed (-1001)");
  report.AddMessage("Profile S-1-5-21-9 skipped: \"in use\", caf\xE9");

  report.Write(changes, view);

  EXPECT_EQ(writer.files["C:\\reports\\zeb.csv"],
            std::string(kBom) + kHeader + "1,1,HKEY_LOCAL_MACHINE,3,\\K,v,x,proposed\r\n" +
                ",,,,,,,message: DXCallsInit Failed (-1001)\r\n" +
                ",,,,,,,\"message: Profile S-1-5-21-9 skipped: \"\"in use\"\", caf\xC3\xA9\"\r\n");
}

TEST_F(ReportTest, TextsThatASpreadsheetWouldRunAreWrittenAsText) {
  changes.AddChange(0x80000001u, kChangeVariableContents, "\\K", "=cmd|' /C calc'!A0",
                    "@SUM(1+1)");
  changes.AddChange(changekind::kIniEntry, kChangeVariableContents, "-C:\\a.ini", "+x",
                    "\tx,y");
  report.Write(changes, view);
  EXPECT_EQ(writer.files["C:\\reports\\zeb.csv"],
            std::string(kBom) + kHeader +
                "1,1,HKEY_CURRENT_USER,3,\\K,'=cmd|' /C calc'!A0,'@SUM(1+1),proposed\r\n"
                "2,1,INI,3,'-C:\\a.ini,'+x,\"'\tx,y\",proposed\r\n");
}

TEST_F(ReportTest, AnEmptyListStillGivesTheHeader) {
  report.Write(changes, view);
  EXPECT_EQ(writer.files["C:\\reports\\zeb.csv"], std::string(kBom) + kHeader);
}

TEST_F(ReportTest, AFileThatCannotBeWrittenIsReportedAndTheRunGoesOn) {
  changes.AddChange(changekind::kIniEntry, kChangeVariableContents, "C:\\a.ini", "[S]v", "x");
  writer.fail = true;
  report.Write(changes, view);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0], "Unable to write report C:\\reports\\zeb.csv");
  EXPECT_TRUE(view.errors.empty());
}

TEST(StreamFileWriterTest, WritesBytesAsTheyAreAndReportsFailure) {
  const std::string path = ::testing::TempDir() + "zeb_report_writer_test.csv";
  StreamFileWriter writer;
  const std::string bytes = std::string(kBom) + "a,b\r\nc\r\n" + std::string(1, '\0') + "\xFF";
  ASSERT_TRUE(writer.WriteWholeFile(path, "longer text that the next write replaces entirely"));
  ASSERT_TRUE(writer.WriteWholeFile(path, bytes));
  std::ifstream in(path, std::ios::binary);
  const std::string read((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(read, bytes);  // no CRLF translation, no leftover tail
  in.close();
  std::remove(path.c_str());

  EXPECT_FALSE(writer.WriteWholeFile(::testing::TempDir() + "no-such-folder-zeb/x/report.csv", "x"));
}

}  // namespace
}  // namespace zeb
