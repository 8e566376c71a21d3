// The journal's "hive" records: which hive a run loaded, read back for the rollback, covered
// by the MAC chain like every other record; and which items lie in such a hive.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "changes/journal_format.h"

namespace zeb {
namespace {

const std::string kKey = "per-computer key of thirty-two b";
const ProfileHive kAlice{"S-1-5-21-7-1001", "C:\\Users\\alice\\NTUSER.DAT"};
const ProfileHive kCarol{"S-1-5-21-7-1002", "D:\\Profiles\\Carol \"C\"\\NTUSER.DAT"};

JournalItem ValueIn(int id, const std::string& path) {
  JournalItem item;
  item.id = id;
  item.root = hkey::kUsers;
  item.path = path;
  item.name = "Server";
  item.value = {true, regtype::kString, {'o', 'l', 'd', 0}};
  return item;
}

// The header, alice's hive, an item in it, carol's hive, an item in hers.
std::vector<std::string> HiveJournalLines() {
  JournalFormatter out(kKey);
  std::vector<std::string> lines;
  const std::string header = out.Header({"WKS-0042", "2026-12-08 07:58:12", "zeb.exe /ALLUSERS"});
  for (std::size_t start = 0; start < header.size();) {
    const std::size_t end = header.find('\n', start) + 1;
    lines.push_back(header.substr(start, end - start));
    start = end;
  }
  lines.push_back(out.Hive(kAlice));
  lines.push_back(out.Item(ValueIn(1, "\\S-1-5-21-7-1001\\Software\\Acme")));
  lines.push_back(out.Hive(kCarol));
  lines.push_back(out.Item(ValueIn(2, "\\S-1-5-21-7-1002\\Software\\Acme")));
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line;
  return text;
}

TEST(JournalHives, HiveRecordsReadBackInOrderBesideTheItems) {
  const std::vector<std::string> lines = HiveJournalLines();
  EXPECT_EQ(lines[4].substr(0, lines[4].size() - 66),
            "hive \"S-1-5-21-7-1001\" \"C:\\\\Users\\\\alice\\\\NTUSER.DAT\"");
  const JournalContent content = ParseJournal(Joined(lines), kKey, "run.jnl");
  ASSERT_TRUE(content.ok()) << content.problem.Text();
  ASSERT_EQ(content.hives.size(), 2u);
  EXPECT_EQ(content.hives[0].sid, kAlice.sid);
  EXPECT_EQ(content.hives[0].file, kAlice.file);
  EXPECT_EQ(content.hives[1].file, kCarol.file);
  ASSERT_EQ(content.items.size(), 2u);
  EXPECT_EQ(content.items[1].id, 2);
}

TEST(JournalHives, AJournalWithoutHiveRecordsNamesNone) {
  JournalFormatter out(kKey);
  std::string text = out.Header({"WKS-0042", "2026-12-08 07:58:12", "zeb.exe"});
  text += out.Item(ValueIn(1, "\\S-1-5-21-7-1001\\Software\\Acme"));
  const JournalContent content = ParseJournal(text, kKey, "run.jnl");
  ASSERT_TRUE(content.ok()) << content.problem.Text();
  EXPECT_TRUE(content.hives.empty());
  EXPECT_EQ(content.items.size(), 1u);
}

TEST(JournalHives, AnAlteredRemovedOrInsertedHiveRecordDoesNotVerify) {
  const std::vector<std::string> lines = HiveJournalLines();
  auto refusedAt = [](const std::vector<std::string>& changed) {
    const JournalContent content = ParseJournal(Joined(changed), kKey, "run.jnl");
    EXPECT_EQ(content.problemKind, JournalProblemKind::kNotVerified);
    EXPECT_TRUE(content.hives.empty());
    return content.problem.line;
  };
  // Another file loaded as alice's hive would restore her items into it.
  std::vector<std::string> altered = lines;
  altered[4].replace(altered[4].find("alice"), 5, "mallo");
  EXPECT_EQ(refusedAt(altered), 5);

  std::vector<std::string> removed = lines;
  removed.erase(removed.begin() + 6);
  EXPECT_EQ(refusedAt(removed), 7);

  std::vector<std::string> inserted = lines;
  inserted.insert(inserted.begin() + 5, lines[6]);
  EXPECT_EQ(refusedAt(inserted), 6);
}

TEST(JournalHives, MalformedHiveRecordsAreRefused) {
  struct Case {
    const char* body;
    const char* what;
  };
  const Case cases[] = {
      {"hive \"S-1-5-21-7-1001\"", "ends before its hive file"},
      {"hive \"S-1-5-21-7-1001\" \"C:\\\\NTUSER.DAT\" extra", "more on the line"},
      {"hive S-1-5-21-7-1001 \"C:\\\\NTUSER.DAT\"", "expected SID"},
      {"hive \"\" \"C:\\\\NTUSER.DAT\"", "SID without backslashes"},
      // A SID that reaches into another user's hive.
      {"hive \"S-1-5-21-7-1002\\\\Software\" \"C:\\\\NTUSER.DAT\"", "SID without backslashes"},
      {"hive \"S-1-5-21-7-1003\" \"\"", "and a file"},
      {"hive \"s-1-5-21-7-1001\" \"C:\\\\Other\\\\NTUSER.DAT\"", "named twice"},
  };
  for (const Case& c : cases) {
    JournalFormatter out(kKey);
    std::string text = out.Header({"WKS-0042", "2026-12-08 07:58:12", "zeb.exe"});
    text += out.Hive(kAlice);
    text += out.Line(c.body);
    const JournalContent content = ParseJournal(text, kKey, "run.jnl");
    EXPECT_EQ(content.problemKind, JournalProblemKind::kMalformed) << c.body;
    EXPECT_EQ(content.problem.line, 6) << c.body;
    EXPECT_NE(content.problem.what.find(c.what), std::string::npos)
        << c.body << ": " << content.problem.what;
  }
}

TEST(JournalHives, AnItemLiesInAHiveBelowHkeyUsersAndItsSid) {
  EXPECT_TRUE(LiesInHive(kAlice, hkey::kUsers, "\\S-1-5-21-7-1001\\Software\\Acme"));
  EXPECT_TRUE(LiesInHive(kAlice, hkey::kUsers, "\\S-1-5-21-7-1001"));
  EXPECT_TRUE(LiesInHive(kAlice, hkey::kUsers, "s-1-5-21-7-1001\\Software"));  // as the Registry folds
  // A SID that only begins like hers, or one whose classes hive sits beside hers.
  EXPECT_FALSE(LiesInHive(kAlice, hkey::kUsers, "\\S-1-5-21-7-10011\\Software"));
  EXPECT_FALSE(LiesInHive(kAlice, hkey::kUsers, "\\S-1-5-21-7-1001_Classes\\Software"));
  EXPECT_FALSE(LiesInHive(kAlice, hkey::kLocalMachine, "\\S-1-5-21-7-1001\\Software"));
  EXPECT_FALSE(LiesInHive(kAlice, hkey::kUsers, "\\"));
  EXPECT_FALSE(LiesInHive(kAlice, hkey::kUsers, ""));
}

}  // namespace
}  // namespace zeb
