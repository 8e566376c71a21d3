// What only the memory backend can show: keys that refuse to open, refuse writes or fail
// every enumeration, handle leaks, and the .reg text the tests seed it with.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/memory/memory_registry.h"
#include "platform/registry.h"

namespace zeb {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::string RaisedText(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    return error.what();
  }
  return "(nothing raised)";
}

class RegistryLayerTest : public ::testing::Test {
 protected:
  void Seed(const std::string& body) { memory_.ImportRegText("REGEDIT4\n\n" + body); }

  MemoryRegistry memory_;
  Registry reg_{memory_, hkey::kLocalMachine};
};

TEST_F(RegistryLayerTest, AKeyThatRefusesToOpenLeavesTheCurrentKeyUnchanged) {
  Seed(
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Open]\n\"Marker\"=\"open\"\n[HKEY_LOCAL_"
      "MACHINE\\SOFTWARE\\Locked]\n");
  memory_.FailOpen(hkey::kLocalMachine, "SOFTWARE\\Locked");
  memory_.FailOpen(hkey::kLocalMachine, "\\SOFTWARE\\NotYet");
  ASSERT_TRUE(reg_.OpenKey("\\SOFTWARE\\Open", false));
  const RegKey before = reg_.CurrentKey();

  EXPECT_FALSE(reg_.OpenKey("\\SOFTWARE\\Locked", false));
  EXPECT_FALSE(reg_.OpenKey("\\software\\LOCKED", true));
  EXPECT_FALSE(reg_.OpenKey("\\SOFTWARE\\NotYet", true));
  EXPECT_FALSE(memory_.HasKey(hkey::kLocalMachine, "SOFTWARE\\NotYet"));
  EXPECT_EQ(reg_.CurrentKey(), before);
  EXPECT_EQ(reg_.ReadString("Marker"), "open");
  EXPECT_FALSE(reg_.KeyExists("\\SOFTWARE\\Locked"));
  EXPECT_FALSE(reg_.DeleteKey("\\SOFTWARE\\Locked"));
  EXPECT_TRUE(memory_.HasKey(hkey::kLocalMachine, "SOFTWARE\\Locked"));
}

TEST_F(RegistryLayerTest, AFailingWriteRaisesTheExactTextAndLeavesTheValue) {
  Seed("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Guarded]\n\"Name\"=\"old\"\n");
  memory_.FailWrites(hkey::kLocalMachine, "\\SOFTWARE\\Guarded");
  ASSERT_TRUE(reg_.OpenKey("\\SOFTWARE\\Guarded", false));
  EXPECT_EQ(RaisedText([&] { reg_.WriteString("Name", "new"); }), "Failed to set data for 'Name'");
  EXPECT_EQ(RaisedText([&] { reg_.WriteInteger("Count", 1); }), "Failed to set data for 'Count'");
  EXPECT_EQ(RaisedText([&] { reg_.WriteBinaryData("Blob", {1}); }),
            "Failed to set data for 'Blob'");
  EXPECT_FALSE(reg_.DeleteValue("Name"));
  EXPECT_EQ(reg_.ReadString("Name"), "old");
}

TEST_F(RegistryLayerTest, WritingOrReadingWithoutACurrentKeyRaises) {
  EXPECT_EQ(RaisedText([&] { reg_.WriteString("Name", "x"); }), "Failed to set data for 'Name'");
  EXPECT_EQ(RaisedText([&] { reg_.ReadString("Name"); }), "Failed to get data for 'Name'");
  EXPECT_TRUE(reg_.GetKeyNames().empty());
  EXPECT_TRUE(reg_.GetValueNames().empty());
  EXPECT_FALSE(reg_.HasSubKeys());
  EXPECT_EQ(reg_.GetDataType("Name"), ValueKind::kOther);
}

// The Perflib trap: counts are given, every index answers ERROR_INVALID_HANDLE.
TEST_F(RegistryLayerTest, ListsEndAtTheFirstEnumerationError) {
  Seed(
      "[HKEY_LOCAL_MACHINE\\Perflib\\009\\Sub]\n[HKEY_LOCAL_MACHINE\\Perflib\\009]\n\"Counter\"="
      "\"1\"\n");
  memory_.FailEnumeration(hkey::kLocalMachine, "Perflib\\009");
  ASSERT_TRUE(reg_.OpenKey("\\Perflib\\009", false));
  EXPECT_TRUE(reg_.HasSubKeys());
  EXPECT_TRUE(reg_.GetKeyNames().empty());
  EXPECT_TRUE(reg_.GetValueNames().empty());
  int visits = 0;
  EXPECT_FALSE(ForEachValue(memory_, reg_.CurrentKey(), true, [&](const RegValue&) { ++visits; }));
  EXPECT_EQ(visits, 0);
  bool complete = true;
  EXPECT_TRUE(ListSubKeys(memory_, reg_.CurrentKey(), &complete).empty());
  EXPECT_FALSE(complete);
}

TEST_F(RegistryLayerTest, AMoveThatCannotCopyEverythingKeepsTheSourceAndRemovesItsPartialCopy) {
  Seed(
      "[HKEY_LOCAL_MACHINE\\Src\\Fine]\n\"a\"=\"1\"\n[HKEY_LOCAL_MACHINE\\Src\\Trap]\n\"b\"="
      "\"2\"\n");
  memory_.FailEnumeration(hkey::kLocalMachine, "Src\\Trap");
  reg_.MoveKey("\\Src", "\\New\\Dst");
  EXPECT_TRUE(memory_.GetValue(hkey::kLocalMachine, "Src\\Trap", "b").has_value());
  EXPECT_TRUE(memory_.GetValue(hkey::kLocalMachine, "Src\\Fine", "a").has_value());
  EXPECT_FALSE(memory_.HasKey(hkey::kLocalMachine, "New"));

  memory_.FailWrites(hkey::kLocalMachine, "Dst2\\Fine");
  reg_.MoveKey("\\Src", "\\Dst2");
  EXPECT_TRUE(memory_.HasKey(hkey::kLocalMachine, "Src\\Fine"));
  EXPECT_FALSE(memory_.HasKey(hkey::kLocalMachine, "Dst2"));
}

TEST_F(RegistryLayerTest, EveryHandleTheLayerOpensIsClosedAgain) {
  Seed("[HKEY_LOCAL_MACHINE\\A\\B\\C]\n\"v\"=dword:00000001\n[HKEY_LOCAL_MACHINE\\Other]\n");
  ASSERT_TRUE(reg_.OpenKey("\\A", false));
  ASSERT_TRUE(reg_.OpenKey("B", false));
  ASSERT_TRUE(reg_.KeyExists("C"));
  reg_.MoveKey("\\A", "\\Moved");
  reg_.MoveKey("\\Moved", "\\Other");
  reg_.DeleteKey("\\Other");
  EXPECT_EQ(memory_.OpenHandleCount(), 1u);  // the current key
  reg_.SetRootKey(hkey::kUsers);
  EXPECT_FALSE(reg_.HasCurrentKey());
  EXPECT_EQ(memory_.OpenHandleCount(), 0u);
  EXPECT_EQ(memory_.GetValue(hkey::kLocalMachine, "\\Moved\\B\\C", "v")->data, (Bytes{1, 0, 0, 0}));
}

TEST(RegText, ReadsEveryValueSyntaxOfARegedit4File) {
  MemoryRegistry memory;
  memory.ImportRegText(
      "REGEDIT4\r\n"
      "\r\n"
      "; seeded by a test\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme]\r\n"
      "@=\"default\"\r\n"
      "\"Path\"=\"C:\\\\Acme\\\\bin\"\r\n"
      "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
      "\"Flags\"=dword:0000a01F\r\n"
      "\"Blob\"=hex:00,ff,\\\r\n"
      "  10\r\n"
      "\"Expand\"=hex(2):25,54,4d,50,25,00\r\n"
      "\"Multi\"=hex(7):61,00,62,00,00\r\n"
      "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\r\n"
      "\"Empty\"=hex:\r\n");
  const auto value = [&](const std::string& name) {
    return memory.GetValue(hkey::kLocalMachine, "SOFTWARE\\Acme", name).value();
  };
  EXPECT_EQ(value("").data, Text(std::string("default\0", 8)));
  EXPECT_EQ(value("Path").type, regtype::kString);
  EXPECT_EQ(value("Path").data, Text(std::string("C:\\Acme\\bin\0", 12)));
  EXPECT_EQ(value("Quote").data, Text(std::string("say \"hi\"\0", 9)));
  EXPECT_EQ(value("Flags").type, regtype::kDword);
  EXPECT_EQ(value("Flags").data, (Bytes{0x1f, 0xa0, 0, 0}));
  EXPECT_EQ(value("Blob").type, regtype::kBinary);
  EXPECT_EQ(value("Blob").data, (Bytes{0x00, 0xff, 0x10}));
  EXPECT_EQ(value("Expand").type, regtype::kExpandString);
  EXPECT_EQ(value("Expand").data, Text(std::string("%TMP%\0", 6)));
  EXPECT_EQ(value("Multi").type, regtype::kMultiString);
  EXPECT_EQ(value("Multi").data, Text(std::string("a\0b\0\0", 5)));
  EXPECT_EQ(value("Qword").type, 11u);
  EXPECT_TRUE(value("Empty").data.empty());
}

TEST(RegText, Version5TextTypesAreUtf16PairsReadThroughTheCodePage) {
  MemoryRegistry memory;
  memory.ImportRegText(
      "Windows Registry Editor Version 5.00\n"
      "[HKEY_USERS\\.DEFAULT\\Env]\n"
      "\"Expand\"=hex(2):43,00,3a,00,5c,00,e9,00,ac,20,00,00\n"
      "\"Multi\"=hex(7):61,00,00,00,4b,04,00,00,00,00\n"
      "\"Binary\"=hex:e9,00\n"
      "\"Plain\"=\"caf\xE9\"\n");
  const auto data = [&](const std::string& name) {
    return memory.GetValue(hkey::kUsers, "\\.DEFAULT\\Env", name).value().data;
  };
  EXPECT_EQ(data("Expand"), Text(std::string("C:\\\xE9\x80\0", 6)));  // e acute, euro sign
  EXPECT_EQ(data("Multi"), Text(std::string("a\0?\0\0", 5)));         // Cyrillic: no byte for it
  EXPECT_EQ(data("Binary"), (Bytes{0xe9, 0x00}));
  EXPECT_EQ(data("Plain"), Text(std::string("caf\xE9\0", 5)));
}

TEST(RegText, AUtf16FileIsReadLikeItsText) {
  const std::string text =
      "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\Caf\xE9]\r\n\"V\"=\"\x80\"\r\n";
  std::string utf16 = "\xFF\xFE";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const char16_t unit = byte == 0x80 ? 0x20AC : byte;
    utf16.push_back(static_cast<char>(unit & 0xFF));
    utf16.push_back(static_cast<char>(unit >> 8));
  }
  MemoryRegistry memory;
  memory.ImportRegText(utf16);
  EXPECT_EQ(memory.GetValue(hkey::kCurrentUser, "caf\xC9", "v").value().data,
            Text(std::string("\x80\0", 2)));
}

TEST(RegText, DeletionsRemoveKeysWithTheirTreeAndSingleValues) {
  MemoryRegistry memory;
  memory.ImportRegText(
      "REGEDIT4\n[HKLM\\Keep]\n\"Gone\"=\"x\"\n\"Stays\"=\"y\"\n[HKEY_LOCAL_"
      "MACHINE\\Drop\\Deep\\Deeper]\n");
  memory.ImportRegText(
      "REGEDIT4\n[-HKEY_LOCAL_MACHINE\\Drop]\n\"Ignored\"=\"z\"\n[HKEY_LOCAL_MACHINE\\keep]"
      "\n\"GONE\"=-\n");
  EXPECT_FALSE(memory.HasKey(hkey::kLocalMachine, "Drop"));
  EXPECT_FALSE(memory.GetValue(hkey::kLocalMachine, "Keep", "Gone").has_value());
  EXPECT_TRUE(memory.GetValue(hkey::kLocalMachine, "Keep", "Stays").has_value());
}

TEST(RegText, KeysAndValuesKeepTheCaseTheyWereFirstWrittenIn) {
  MemoryRegistry memory;
  memory.ImportRegText(
      "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme]\n\"Name\"=\"1\"\n"
      "[HKEY_LOCAL_MACHINE\\software\\ACME\\Sub]\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\acme]\n\"NAME\"="
      "\"2\"\n");
  Registry reg(memory, hkey::kLocalMachine);
  ASSERT_TRUE(reg.OpenKey("\\SOFTWARE", false));
  EXPECT_EQ(reg.GetKeyNames(), std::vector<std::string>{"Acme"});
  ASSERT_TRUE(reg.OpenKey("Acme", false));
  EXPECT_EQ(reg.GetValueNames(), std::vector<std::string>{"Name"});
  EXPECT_EQ(reg.ReadString("name"), "2");
}

TEST(RegText, MalformedTextNamesItsLine) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "line 1"},
      {"\n\nREGEDIT5\n", "line 3"},
      {"REGEDIT4\n\"early\"=\"x\"\n", "line 2"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"v\"=hex:00,0g\n", "line 3"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\n\"v\"=hex:00,\\\n 1ff\n", "line 4"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"v\"=\"open\n", "line 3"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"v\"=\"x\" tail\n", "line 3"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"v\"=dword:123456789\n", "line 3"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"v\"=hex(x):00\n", "line 3"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"v\" \"x\"\n", "line 3"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\nv=\"x\"\n", "line 3"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"v\"=str:\"x\"\n", "line 3"},
      {"REGEDIT4\n[HKEY_NOWHERE\\A]\n", "line 2"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\n", "line 2"},
      {"REGEDIT4\n[-HKEY_LOCAL_MACHINE]\n", "line 2"},
      {"REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\\\A]\n", "line 3"},  // an empty first key name
      {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A]\n\"v\"=hex(2):41\n",
       "line 3"},
  };
  for (const auto& [text, line] : cases) {
    MemoryRegistry memory;
    const std::string& regText = text;  // a lambda cannot capture a structured binding in C++17
    const std::string raised = RaisedText([&] { memory.ImportRegText(regText); });
    EXPECT_NE(raised.find("Malformed registry text at " + line + ":"), std::string::npos)
        << "text: " << text << "\nraised: " << raised;
  }
}

}  // namespace
}  // namespace zeb
