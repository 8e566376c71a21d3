#include <gtest/gtest.h>

#include <string>

#include "changes/journal_format.h"

namespace zeb {
namespace {

const std::string kKey = "per-computer key of thirty-two b";

JournalHeader Header() {
  return {"WKS-0042", "2026-12-08 07:58:12", "zeb.exe /STEALTH /JOURNAL=C:\\ZEB\\run.jnl"};
}

// Field by field: the journal must not lean on the images' own comparison to be tested.
bool Same(const RegistryValueImage& a, const RegistryValueImage& b) {
  return a.exists == b.exists && a.type == b.type && a.data == b.data;
}
bool Same(const RegistryKeyImage& a, const RegistryKeyImage& b) {
  if (a.exists != b.exists || a.values.size() != b.values.size() ||
      a.subKeys.size() != b.subKeys.size())
    return false;
  for (std::size_t i = 0; i < a.values.size(); ++i)
    if (a.values[i].name != b.values[i].name || a.values[i].type != b.values[i].type ||
        a.values[i].data != b.values[i].data)
      return false;
  for (std::size_t i = 0; i < a.subKeys.size(); ++i)
    if (a.subKeys[i].name != b.subKeys[i].name || !Same(a.subKeys[i].image, b.subKeys[i].image))
      return false;
  return true;
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

RegistryValueImage Value(std::uint32_t type, const std::string& data) {
  return {true, type, Bytes(data)};
}

JournalItem ValueItem(int id, const std::string& name, RegistryValueImage image) {
  JournalItem item;
  item.id = id;
  item.kind = JournalItemKind::kValue;
  item.root = hkey::kUsers;
  item.path = "\\S-1-5-21-0\\Software\\Caf\xE9 \"Acme\"";
  item.name = name;
  item.value = std::move(image);
  return item;
}

RegistryKeyImage KeyTree() {
  RegistryKeyImage top;
  top.exists = true;
  top.values.push_back({"", regtype::kString, Bytes(std::string("default\0", 8))});
  top.values.push_back({"Multi", regtype::kMultiString, Bytes(std::string("a\0b\0\0", 5))});
  RegistryKeyImage sub;
  sub.exists = true;
  sub.values.push_back({"Big", regtype::kBinary, Bytes(std::string(20000, '\xAB'))});
  sub.values.push_back({"Q", 11, Bytes(std::string("\1\2\3\4\5\6\7\x08", 8))});
  RegistryKeyImage leaf;
  leaf.exists = true;
  sub.subKeys.push_back({"Leaf", leaf});
  top.subKeys.push_back({"Printers", sub});
  return top;
}

// A journal with one item of each kind, and "after" records for two of them.
std::string SampleJournal() {
  JournalFormatter out(kKey);
  std::string text = out.Header(Header());
  text += out.Item(ValueItem(1, "Context", Value(regtype::kString, std::string("Bob\0", 4))));
  text += out.Item(ValueItem(2, "", {}));
  text += out.Item(
      ValueItem(3, "Tabs\tand\\", Value(regtype::kDword, std::string("\x40\0\0\0", 4))));
  JournalItem file;
  file.id = 4;
  file.kind = JournalItemKind::kFile;
  file.path = "C:\\WINDOWS\\ACME.INI";
  file.file = {true, std::string("[Mail]\r\nOwner=Bob\r\n\0\xFF", 21)};
  text += out.Item(file);
  JournalItem key;
  key.id = 5;
  key.kind = JournalItemKind::kKey;
  key.root = hkey::kLocalMachine;
  key.path = "\\Software\\Acme\\Bob";
  key.key = KeyTree();
  text += out.Item(key);
  JournalItem target;
  target.id = 6;
  target.kind = JournalItemKind::kKey;
  target.root = hkey::kLocalMachine;
  target.path = "\\Software\\Acme\\Robert";
  text += out.Item(target);
  text += out.After(1, ImageDigest(Value(regtype::kString, std::string("Robert\0", 7))));
  text += out.After(5, ImageDigest(RegistryKeyImage{}));
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start + 1));
    start = end + 1;
  }
  return lines;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line;
  return text;
}

TEST(JournalFormat, EveryKindOfItemReadsBackAsWritten) {
  const JournalContent content = ParseJournal(SampleJournal(), kKey, "run.jnl");
  ASSERT_TRUE(content.ok()) << content.problem.Text();
  EXPECT_FALSE(content.cutShort);
  EXPECT_EQ(content.header.computer, "WKS-0042");
  EXPECT_EQ(content.header.started, "2026-12-08 07:58:12");
  EXPECT_EQ(content.header.commandLine, Header().commandLine);
  ASSERT_EQ(content.items.size(), 6u);

  const JournalItem& first = content.items[0];
  EXPECT_EQ(first.root, hkey::kUsers);
  EXPECT_EQ(first.path, "\\S-1-5-21-0\\Software\\Caf\xE9 \"Acme\"");
  EXPECT_TRUE(Same(first.value, Value(regtype::kString, std::string("Bob\0", 4))));
  ASSERT_TRUE(first.after.has_value());
  EXPECT_EQ(*first.after, ImageDigest(Value(regtype::kString, std::string("Robert\0", 7))));
  EXPECT_EQ(content.items[1].name, "");
  EXPECT_FALSE(content.items[1].value.exists);
  EXPECT_FALSE(content.items[1].after.has_value());
  EXPECT_EQ(content.items[2].name, "Tabs\tand\\");
  EXPECT_TRUE(Same(content.items[2].value, Value(regtype::kDword, std::string("\x40\0\0\0", 4))));
  EXPECT_EQ(content.items[3].file.bytes, std::string("[Mail]\r\nOwner=Bob\r\n\0\xFF", 21));
  EXPECT_TRUE(Same(content.items[4].key, KeyTree()));
  EXPECT_EQ(content.items[4].path, "\\Software\\Acme\\Bob");
  EXPECT_FALSE(content.items[5].key.exists);
}

// A person reads names as text, the code page's letters in UTF-8, strings as text.
TEST(JournalFormat, RecordsAreReadableUtf8Text) {
  const std::string text = SampleJournal();
  EXPECT_NE(text.find("computer \"WKS-0042\" "), std::string::npos);
  EXPECT_NE(text.find("value 1 HKEY_USERS \"\\\\S-1-5-21-0\\\\Software\\\\Caf\xC3\xA9 \\\"Acme\\\"\" "
                      "\"Context\" REG_SZ \"Bob\""),
            std::string::npos);
  EXPECT_NE(text.find("\"Tabs\\x09and\\\\\" REG_DWORD hex:40000000"), std::string::npos);
  EXPECT_NE(text.find("keyvalue \"\" \"Multi\" REG_MULTI_SZ hex:6100620000"), std::string::npos);
  EXPECT_NE(text.find("keyvalue \"Printers\" \"Q\" REG_QWORD hex:0102"), std::string::npos);
  EXPECT_NE(text.find("key 6 HKEY_LOCAL_MACHINE \"\\\\Software\\\\Acme\\\\Robert\" absent"),
            std::string::npos);
}

TEST(JournalFormat, AJournalCutShortIsReadUpToItsLastCompleteRecord) {
  const std::string text = SampleJournal();
  const std::vector<std::string> lines = Lines(text);
  // Cut inside the last line: the last "after" is lost, everything before it stands.
  JournalContent content = ParseJournal(text.substr(0, text.size() - 10), kKey, "run.jnl");
  ASSERT_TRUE(content.ok()) << content.problem.Text();
  EXPECT_TRUE(content.cutShort);
  ASSERT_EQ(content.items.size(), 6u);
  EXPECT_FALSE(content.items[4].after.has_value());
  EXPECT_TRUE(content.items[0].after.has_value());

  // Cut within the key image (after its "begin" and a value): the key and what follows go.
  std::size_t keyLine = 0;
  while (lines[keyLine].rfind("key 5", 0) != 0) ++keyLine;
  const std::string withinKey =
      Join({lines.begin(), lines.begin() + keyLine + 2}) + lines[keyLine + 2].substr(0, 5);
  content = ParseJournal(withinKey, kKey, "run.jnl");
  ASSERT_TRUE(content.ok()) << content.problem.Text();
  EXPECT_TRUE(content.cutShort);
  EXPECT_EQ(content.items.size(), 4u);

  // Every cut at a line end reads; at every byte the journal reads or is cut short.
  for (std::size_t cut = 0; cut <= text.size(); cut += 97) {
    content = ParseJournal(text.substr(0, cut), kKey, "run.jnl");
    if (cut < Join({lines.begin(), lines.begin() + 4}).size()) {
      EXPECT_EQ(content.problemKind, JournalProblemKind::kMalformed) << cut;
    } else {
      EXPECT_TRUE(content.ok()) << cut << ": " << content.problem.Text();
    }
  }
}

TEST(JournalFormat, AlteredInsertedRemovedOrReorderedRecordsDoNotVerify) {
  const std::vector<std::string> lines = Lines(SampleJournal());
  auto expectRefusedAt = [](const std::vector<std::string>& changed, int line) {
    const JournalContent content = ParseJournal(Join(changed), kKey, "run.jnl");
    EXPECT_EQ(content.problemKind, JournalProblemKind::kNotVerified);
    EXPECT_EQ(content.problem.line, line);
    EXPECT_TRUE(content.items.empty());
  };
  std::vector<std::string> altered = lines;
  altered[4].replace(altered[4].find("Bob"), 3, "Eve");
  expectRefusedAt(altered, 5);

  std::vector<std::string> removed = lines;
  removed.erase(removed.begin() + 5);
  expectRefusedAt(removed, 6);

  std::vector<std::string> inserted = lines;
  inserted.insert(inserted.begin() + 6, lines[4]);
  expectRefusedAt(inserted, 7);

  std::vector<std::string> swapped = lines;
  std::swap(swapped[5], swapped[6]);
  expectRefusedAt(swapped, 6);

  // Another computer's key: the header is still read, so the caller can name the computer.
  const JournalContent other = ParseJournal(Join(lines), "another computer's key", "run.jnl");
  EXPECT_EQ(other.problemKind, JournalProblemKind::kNotVerified);
  EXPECT_EQ(other.problem.line, 1);
  EXPECT_TRUE(other.headerRead);
  EXPECT_EQ(other.header.computer, "WKS-0042");
}

// Malformed lines are refused with their line number, even with a valid MAC.
TEST(JournalFormat, MalformedRecordsAreRefusedWithTheirLineNumber) {
  struct Case {
    const char* body;
    const char* what;
    int line = 6;
  };
  const Case cases[] = {
      {"value 7 HKEY_USERS \"\\\\k\" \"v\" REG_SZ \"open", "not closed"},
      {"value 7 HKEY_NOWHERE \"\\\\k\" \"v\" absent", "not a root key"},
      {"value 7 HKEY_USERS \"\\\\k\" \"v\" REG_DWORD \"text\"", "only REG_SZ"},
      {"value 7 HKEY_USERS \"\\\\k\" \"v\" REG_BINARY hex:abc", "hex"},
      {"value 7 HKEY_USERS \"\\\\k\" \"v\" absent extra", "more on the line"},
      {"value 7  HKEY_USERS", "one space"},
      {"value 07 HKEY_USERS \"\\\\k\" \"v\" absent", "record number"},
      {"value 1 HKEY_USERS \"\\\\k\" \"v\" absent", "increase"},
      {"after 9 sha256:00", "no earlier record"},
      {"file 7 \"C:\\\\X.INI\" \"text\"", "hex:"},
      {"frobnicate 7", "not a record kind"},
      {"value 7 HKEY_USERS \"\\\\k\" \"v\" REG_SZ \"\\q\"", "escape"},
      {"value 7 HKEY_USERS \"\\\\k\" \"\xE9\" absent", "UTF-8"},
      {"key 7 HKEY_USERS \"\\\\k\" begin", "key image holds only", 7},
  };
  for (const Case& c : cases) {
    JournalFormatter out(kKey);
    std::string text = out.Header(Header());
    text += out.Item(ValueItem(1, "x", {}));
    text += out.Line(c.body);
    text += out.Line("value 99 HKEY_USERS \"\\\\k\" \"v\" absent");
    const JournalContent content = ParseJournal(text, kKey, "run.jnl");
    EXPECT_EQ(content.problemKind, JournalProblemKind::kMalformed) << c.body;
    EXPECT_EQ(content.problem.line, c.line) << c.body;
    EXPECT_NE(content.problem.what.find(c.what), std::string::npos)
        << c.body << ": " << content.problem.what;
  }
  // A line without its MAC, and a line break inside a text, are refused as such.
  JournalFormatter out(kKey);
  const std::string header = out.Header(Header());
  JournalContent content = ParseJournal(header + "value 1 HKEY_USERS\n", kKey, "run.jnl");
  EXPECT_EQ(content.problem.Text(), "run.jnl, line 5: the line does not end in its MAC (64 hex digits)");
}

TEST(JournalFormat, AnotherFormatVersionOrNoJournalAtAllIsRefused) {
  std::string text = SampleJournal();
  text.replace(text.find("zeb-journal 1"), 13, "zeb-journal 2");
  JournalContent content = ParseJournal(text, kKey, "run.jnl");
  EXPECT_EQ(content.problemKind, JournalProblemKind::kOtherVersion);
  EXPECT_EQ(content.problem.Text(),
            "run.jnl, line 1: the journal is of format version 2; this program reads version 1");

  content = ParseJournal("", kKey, "run.jnl");
  EXPECT_EQ(content.problem.Text(), "run.jnl: the journal is empty");
  content = ParseJournal("[Mail]\r\nOwner=Bob\r\n", kKey, "run.jnl");
  EXPECT_EQ(content.problemKind, JournalProblemKind::kMalformed);
  EXPECT_EQ(content.problem.line, 1);
}

TEST(JournalFormat, DigestsOfEqualImagesAgreeWhateverTheOrder) {
  RegistryKeyImage a = KeyTree();
  RegistryKeyImage b = KeyTree();
  std::swap(b.values[0], b.values[1]);
  EXPECT_EQ(ImageDigest(a), ImageDigest(b));
  b.values[0].data.push_back(0);
  EXPECT_NE(ImageDigest(a), ImageDigest(b));
  EXPECT_NE(ImageDigest(RegistryValueImage{}), ImageDigest(Value(regtype::kNone, "")));
  EXPECT_NE(ImageDigest(FileImage{}), ImageDigest(FileImage{true, ""}));
}

}  // namespace
}  // namespace zeb
