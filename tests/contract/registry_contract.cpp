// The Registry layer over each backend: what the program sees must not depend on whether the
// Registry is Wine's or the memory one. Every test works below HKCU\Software\ZebContract.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "contract/backend.h"
#include "platform/registry.h"

namespace zeb::contract {
namespace {

using Layer = zeb::Registry;
using Bytes = std::vector<std::uint8_t>;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Pattern(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return bytes;
}

// A subtree as path -> values (name, type, data) in enumeration order.
using Values = std::vector<std::tuple<std::string, std::uint32_t, Bytes>>;
using Tree = std::map<std::string, Values>;

void Collect(RegistryApi& api, RegKey key, const std::string& path, Tree* tree) {
  Values& values = (*tree)[path];
  ForEachValue(api, key, true,
               [&](const RegValue& v) { values.emplace_back(v.name, v.type, v.data); });
  for (const std::string& name : ListSubKeys(api, key)) {
    RegKey child = 0;
    ASSERT_EQ(api.OpenKey(key, name, KeyAccess::kAll, &child), winerr::kSuccess) << name;
    KeyHandle owned(api, child);
    Collect(api, child, path + "\\" + name, tree);
  }
}

constexpr char kParent[] = "\\Software\\ZebContract";

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::string(kParent) + "\\" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    reg_.DeleteKey(scratch_);
    ASSERT_TRUE(reg_.OpenKey(scratch_, true)) << BackendName();
  }
  void TearDown() override {
    reg_.CloseKey();
    reg_.DeleteKey(scratch_);
    EXPECT_FALSE(reg_.KeyExists(scratch_));
  }

  static void TearDownTestSuite() { Layer(Registry(), hkey::kCurrentUser).DeleteKey(kParent); }

  std::string Path(const std::string& relative) const { return scratch_ + "\\" + relative; }

  Tree Snapshot(const std::string& relative) {
    Tree tree;
    RegKey key = 0;
    if (api_.OpenKey(hkey::kCurrentUser, Path(relative).substr(1), KeyAccess::kAll, &key) ==
        winerr::kSuccess) {
      KeyHandle owned(api_, key);
      Collect(api_, key, "", &tree);
    }
    return tree;
  }

  void SetRaw(const std::string& name, std::uint32_t type, const Bytes& data) {
    ASSERT_EQ(api_.SetValue(reg_.CurrentKey(), name, type, data), winerr::kSuccess) << name;
  }

  void ExpectRaised(const std::function<void()>& action, const std::string& text) {
    try {
      action();
      ADD_FAILURE() << "nothing raised, expected: " << text;
    } catch (const RegistryError& error) {
      EXPECT_EQ(error.what(), text);
    }
  }

  RegistryApi& api_ = Registry();
  Layer reg_{api_, hkey::kCurrentUser};
  std::string scratch_;
};

TEST_F(RegistryContract, NamesDifferingOnlyInCaseAreOneKeyAndOneValueKeepingTheFirstCase) {
  ASSERT_TRUE(reg_.OpenKey(Path("MixedCase"), true));
  ASSERT_TRUE(reg_.OpenKey(Path("MIXEDCASE\\Inner"), true));
  ASSERT_TRUE(reg_.OpenKey(Path("mixedcase"), false));
  reg_.WriteString("Value", "first");
  reg_.WriteString("VALUE", "second");
  EXPECT_EQ(reg_.GetValueNames(), std::vector<std::string>{"Value"});
  EXPECT_EQ(reg_.ReadString("vAlUe"), "second");
  EXPECT_EQ(reg_.GetKeyNames(), std::vector<std::string>{"Inner"});
  ASSERT_TRUE(reg_.OpenKey(scratch_, false));
  EXPECT_EQ(reg_.GetKeyNames(), std::vector<std::string>{"MixedCase"});
}

TEST_F(RegistryContract, NamesOutsideAsciiFoldAndSortAsCodePageCharacters) {
  // Windows-1252: 0xC9/0xE9 are E acute, 0x80 is the euro sign (U+20AC, after every Latin-1
  // letter however its byte compares).
  for (const char* name : {"a\x80", "\xC9t\xC9", "a\xE9", "az"})
    ASSERT_TRUE(reg_.OpenKey(Path(name), true));
  ASSERT_TRUE(reg_.OpenKey(Path("\xE9T\xE9"), false));
  ASSERT_TRUE(reg_.OpenKey(scratch_, false));
  EXPECT_EQ(reg_.GetKeyNames(), (std::vector<std::string>{"az", "a\xE9", "a\x80", "\xC9t\xC9"}));
}

// Wine keeps keys and values sorted by their lower-cased names, whatever the order of writing.
TEST_F(RegistryContract, SubkeysAndValuesEnumerateInSortedOrderAlsoAfterDeleteAndReAdd) {
  const std::vector<std::string> written = {"b",  "A",    "c",  "_x", "a1",
                                            "B2", "Zeta", "a_", "~t", "ab"};
  const std::vector<std::string> sorted = {"_x", "A",  "a1", "a_",   "ab",
                                           "b",  "B2", "c",  "Zeta", "~t"};
  for (const std::string& name : written) {
    ASSERT_TRUE(reg_.OpenKey(Path(name), true));
    ASSERT_TRUE(reg_.OpenKey(scratch_, false));
    reg_.WriteString(name, name);
  }
  EXPECT_EQ(reg_.GetKeyNames(), sorted);
  EXPECT_EQ(reg_.GetValueNames(), sorted);

  ASSERT_TRUE(reg_.DeleteKey("A"));
  ASSERT_TRUE(reg_.DeleteValue("A"));
  ASSERT_TRUE(reg_.OpenKey("A", true));
  ASSERT_TRUE(reg_.OpenKey(scratch_, false));
  reg_.WriteString("A", "again");
  EXPECT_EQ(reg_.GetKeyNames(), sorted);
  EXPECT_EQ(reg_.GetValueNames(), sorted);
}

TEST_F(RegistryContract, OpeningAMissingKeyFailsAndLeavesTheCurrentKeyAsItWas) {
  ASSERT_TRUE(reg_.OpenKey(Path("Here"), true));
  reg_.WriteString("Marker", "here");
  const RegKey before = reg_.CurrentKey();

  EXPECT_FALSE(reg_.OpenKey("Missing", false));
  EXPECT_FALSE(reg_.OpenKey(Path("Missing\\Deeper"), false));
  EXPECT_EQ(reg_.CurrentKey(), before);
  EXPECT_EQ(reg_.ReadString("Marker"), "here");
  EXPECT_FALSE(reg_.KeyExists(Path("Missing")));
  EXPECT_FALSE(reg_.KeyExists(Path("Here\\Missing")));
}

TEST_F(RegistryContract, RelativePathsCountFromTheCurrentKeyAndTheEmptyPathIsTheRoot) {
  ASSERT_TRUE(reg_.OpenKey(Path("Outer"), true));
  ASSERT_TRUE(reg_.OpenKey("Inner", true));  // below Outer
  reg_.WriteString("Where", "inner");
  ASSERT_TRUE(reg_.OpenKey(Path("Outer\\Inner"), false));
  EXPECT_EQ(reg_.ReadString("Where"), "inner");

  reg_.CloseKey();
  ASSERT_TRUE(reg_.OpenKey(Path("Outer").substr(1), false));  // no current key: from the root
  EXPECT_EQ(reg_.GetKeyNames(), std::vector<std::string>{"Inner"});

  ASSERT_TRUE(reg_.OpenKey("", false));
  const std::vector<std::string> rootKeys = reg_.GetKeyNames();
  EXPECT_NE(std::find(rootKeys.begin(), rootKeys.end(), "Software"), rootKeys.end());
}

TEST_F(RegistryContract, AnExpandableStringIsWrittenAsRegExpandSzAndReadsAsTextUnexpanded) {
  reg_.WriteString("Path", "plain");
  reg_.WriteExpandString("Path", "%SystemRoot%\\x");  // replaces the REG_SZ
  std::uint32_t type = 0;
  Bytes data;
  ASSERT_EQ(api_.QueryValue(reg_.CurrentKey(), "Path", &type, &data), winerr::kSuccess);
  EXPECT_EQ(type, regtype::kExpandString);
  EXPECT_EQ(data, Text(std::string("%SystemRoot%\\x\0", 15)));
  EXPECT_EQ(reg_.GetDataType("Path"), ValueKind::kExpandString);
  EXPECT_EQ(reg_.ReadString("Path"), "%SystemRoot%\\x");
}

TEST_F(RegistryContract, TextReadsUpToItsFirstZeroAndAMissingValueReadsEmpty) {
  SetRaw("Embedded", regtype::kString, Text(std::string("ab\0cd\0", 6)));
  EXPECT_EQ(reg_.ReadString("Embedded"), "ab");
  EXPECT_EQ(reg_.ReadString("Absent"), "");
  EXPECT_FALSE(reg_.ValueExists("Absent"));
  EXPECT_EQ(reg_.GetDataType("Absent"), ValueKind::kOther);
}

TEST_F(RegistryContract, ATextWrittenWithoutItsZeroGetsOne) {
  SetRaw("Bare", regtype::kString, Text("abc"));
  std::uint32_t type = 0;
  Bytes data;
  ASSERT_EQ(api_.QueryValue(reg_.CurrentKey(), "Bare", &type, &data), winerr::kSuccess);
  EXPECT_EQ(data, Text(std::string("abc\0", 4)));
}

TEST_F(RegistryContract, ReadingAValueOfAnotherTypeRaisesTheExactText) {
  reg_.WriteInteger("Count", 7);
  reg_.WriteString("Name", "x");
  SetRaw("List", regtype::kMultiString, Text(std::string("a\0b\0\0", 5)));
  EXPECT_EQ(reg_.GetDataType("Count"), ValueKind::kInteger);
  EXPECT_EQ(reg_.GetDataType("List"), ValueKind::kOther);
  ExpectRaised([&] { reg_.ReadString("Count"); }, "Invalid data type for 'Count'");
  ExpectRaised([&] { reg_.ReadString("List"); }, "Invalid data type for 'List'");
  ExpectRaised([&] { reg_.ReadInteger("Name"); }, "Invalid data type for 'Name'");
  ExpectRaised([&] { reg_.ReadBinaryData("Count", 16); }, "Invalid data type for 'Count'");
  ExpectRaised([&] { reg_.ReadInteger("Absent"); }, "Failed to get data for 'Absent'");
  ExpectRaised([&] { reg_.ReadBinaryData("Absent", 16); }, "Failed to get data for 'Absent'");
}

TEST_F(RegistryContract, NumbersAndStringsRoundTripAndAStringAlwaysWritesRegSz) {
  reg_.WriteInteger("Negative", -2);
  EXPECT_EQ(reg_.ReadInteger("Negative"), -2);
  reg_.WriteInteger("Switch", 1);
  reg_.WriteString("Switch", "on");  // replaces the number
  EXPECT_EQ(reg_.GetDataType("Switch"), ValueKind::kString);
  EXPECT_EQ(reg_.ReadString("Switch"), "on");
  SetRaw("Expand", regtype::kExpandString, Text(std::string("%x%\0", 4)));
  reg_.WriteString("Expand", "plain");
  EXPECT_EQ(reg_.GetDataType("Expand"), ValueKind::kString);
}

TEST_F(RegistryContract, ABinaryValueLargerThanTheCallersBufferIsAWrongTypeRead) {
  reg_.WriteBinaryData("Blob", Pattern(17));
  ExpectRaised([&] { reg_.ReadBinaryData("Blob", 16); }, "Invalid data type for 'Blob'");
  EXPECT_EQ(reg_.ReadBinaryData("Blob", 17), Pattern(17));
  reg_.WriteBinaryData("Empty", {});
  EXPECT_TRUE(reg_.ReadBinaryData("Empty", 16).empty());
}

TEST_F(RegistryContract, AOneMegabyteValueIsWrittenReadAndEnumeratedWhole) {
  const Bytes big = Pattern(1 << 20);
  reg_.WriteBinaryData("Big", big);
  EXPECT_TRUE(reg_.ReadBinaryData("Big", big.size()) == big);
  std::size_t seen = 0;
  EXPECT_TRUE(ForEachValue(api_, reg_.CurrentKey(), true, [&](const RegValue& value) {
    ++seen;
    EXPECT_TRUE(value.data == big);
  }));
  EXPECT_EQ(seen, 1u);
}

// Texts and data just below, at and above the size a first read takes in, and none at all:
// each comes back whole.
TEST_F(RegistryContract, ValuesAroundTheFirstReadsSizeAreReadWhole) {
  for (std::size_t size : {1u, 1023u, 1024u, 1025u, 4096u}) {
    Bytes text(size - 1, 'x');
    text.push_back(0);
    for (std::size_t i = 0; i + 1 < size; i += 97) text[i] = static_cast<std::uint8_t>('A' + i % 26);
    SetRaw("Text", regtype::kString, text);
    SetRaw("Blob", regtype::kBinary, Pattern(size));
    std::uint32_t type = 0;
    Bytes data;
    ASSERT_EQ(api_.QueryValue(reg_.CurrentKey(), "Text", &type, &data), winerr::kSuccess);
    EXPECT_EQ(type, regtype::kString);
    EXPECT_TRUE(data == text) << size;
    ASSERT_EQ(api_.QueryValue(reg_.CurrentKey(), "Blob", &type, &data), winerr::kSuccess);
    EXPECT_EQ(type, regtype::kBinary);
    EXPECT_TRUE(data == Pattern(size)) << size;
  }
  SetRaw("Empty", regtype::kBinary, {});
  std::uint32_t type = 0;
  Bytes data = Pattern(5);
  ASSERT_EQ(api_.QueryValue(reg_.CurrentKey(), "Empty", &type, &data), winerr::kSuccess);
  EXPECT_TRUE(data.empty());
  data = Pattern(5);
  EXPECT_EQ(api_.QueryValue(reg_.CurrentKey(), "Absent", &type, &data), winerr::kFileNotFound);
}

TEST_F(RegistryContract, AMoveOntoAnExistingKeyChangesNothing) {
  ASSERT_TRUE(reg_.OpenKey(Path("From\\Child"), true));
  reg_.WriteString("Old", "from");
  ASSERT_TRUE(reg_.OpenKey(Path("To"), true));
  reg_.WriteString("Kept", "to");
  const Tree from = Snapshot("From");
  const Tree to = Snapshot("To");

  reg_.MoveKey(Path("From"), Path("To"));
  EXPECT_EQ(Snapshot("From"), from);
  EXPECT_EQ(Snapshot("To"), to);
  reg_.MoveKey(Path("Nowhere"), Path("Else"));
  EXPECT_FALSE(reg_.KeyExists(Path("Else")));
}

TEST_F(RegistryContract, AMoveCarriesNestedKeysWithEveryValueTypeAndRemovesTheSource) {
  ASSERT_TRUE(reg_.OpenKey(Path("Source"), true));
  reg_.WriteString("Text", "plain");
  SetRaw("Expand", regtype::kExpandString, Text(std::string("%TEMP%\\a\0", 9)));
  reg_.WriteInteger("Number", 0x12345678);
  reg_.WriteBinaryData("Binary", Pattern(40));
  SetRaw("Multi", regtype::kMultiString, Text(std::string("one\0two\0\0", 9)));
  SetRaw("", regtype::kString, Text(std::string("default\0", 8)));
  ASSERT_TRUE(reg_.OpenKey("Child\\Grandchild", true));
  reg_.WriteBinaryData("Big", Pattern(1 << 20));
  SetRaw("Odd", 11, Pattern(8));  // REG_QWORD: copied as it is
  ASSERT_TRUE(reg_.OpenKey(Path("Source\\Second"), true));
  const Tree before = Snapshot("Source");
  ASSERT_EQ(before.size(), 4u);

  reg_.MoveKey(Path("Source"), Path("Moved\\Target"));
  EXPECT_FALSE(reg_.KeyExists(Path("Source")));
  EXPECT_TRUE(Snapshot("Moved\\Target") == before);
}

TEST_F(RegistryContract, TheMovedCurrentKeyReportsNoSubkeysAfterwards) {
  ASSERT_TRUE(reg_.OpenKey(Path("Old\\Sub"), true));
  ASSERT_TRUE(reg_.OpenKey(Path("Old"), false));
  ASSERT_TRUE(reg_.HasSubKeys());
  reg_.MoveKey(Path("Old"), Path("New"));
  EXPECT_FALSE(reg_.HasSubKeys());
  EXPECT_TRUE(reg_.GetKeyNames().empty());
  EXPECT_TRUE(reg_.KeyExists(Path("New\\Sub")));
}

TEST_F(RegistryContract, AMoveIntoItsOwnSubtreeDoesNothing) {
  ASSERT_TRUE(reg_.OpenKey(Path("Loop\\Child"), true));
  reg_.WriteString("Keep", "me");
  const Tree before = Snapshot("Loop");
  reg_.MoveKey(Path("Loop"), Path("LOOP\\Child\\Deeper"));
  ASSERT_TRUE(reg_.OpenKey(scratch_, false));
  reg_.MoveKey("Loop", "Loop\\Inside");  // relative paths, same answer
  EXPECT_EQ(Snapshot("Loop"), before);
}

TEST_F(RegistryContract, DeletingAKeyRemovesItsWholeTreeAndNothingBeside) {
  ASSERT_TRUE(reg_.OpenKey(Path("Tree\\A\\Deep\\Deeper"), true));
  reg_.WriteString("v", "x");
  ASSERT_TRUE(reg_.OpenKey(Path("Tree\\B"), true));
  ASSERT_TRUE(reg_.OpenKey(Path("Treeside"), true));
  EXPECT_TRUE(reg_.DeleteKey(Path("Tree")));
  EXPECT_FALSE(reg_.KeyExists(Path("Tree")));
  EXPECT_TRUE(reg_.KeyExists(Path("Treeside")));
  EXPECT_FALSE(reg_.DeleteKey(Path("Tree")));
  EXPECT_FALSE(reg_.DeleteKey(""));
  EXPECT_FALSE(reg_.DeleteKey("\\"));
}

TEST_F(RegistryContract, RegDeleteKeyRefusesAKeyWithSubkeys) {
  ASSERT_TRUE(reg_.OpenKey(Path("Parent\\Child"), true));
  ASSERT_TRUE(reg_.OpenKey(scratch_, false));
  EXPECT_EQ(api_.DeleteKey(reg_.CurrentKey(), "Parent"), winerr::kAccessDenied);
  EXPECT_EQ(api_.DeleteKey(reg_.CurrentKey(), "Parent\\Child"), winerr::kSuccess);
  EXPECT_EQ(api_.DeleteKey(reg_.CurrentKey(), "Parent\\Child"), winerr::kFileNotFound);
  EXPECT_EQ(api_.DeleteKey(reg_.CurrentKey(), "Parent"), winerr::kSuccess);
}

TEST_F(RegistryContract, AHandleToADeletedKeyAnswersKeyDeletedAndClosesOnce) {
  constexpr long kKeyDeleted = 1018;
  RegKey doomed = 0;
  ASSERT_EQ(api_.CreateKey(reg_.CurrentKey(), "Doomed", &doomed), winerr::kSuccess);
  ASSERT_EQ(api_.DeleteKey(reg_.CurrentKey(), "Doomed"), winerr::kSuccess);
  KeyInfo info;
  std::string name;
  EXPECT_EQ(api_.QueryInfoKey(doomed, &info), kKeyDeleted);
  EXPECT_EQ(api_.EnumKey(doomed, 0, &name), kKeyDeleted);
  EXPECT_EQ(api_.SetValue(doomed, "v", regtype::kBinary, {}), kKeyDeleted);
  EXPECT_EQ(api_.CloseKey(doomed), winerr::kSuccess);
  EXPECT_EQ(api_.CloseKey(doomed), winerr::kInvalidHandle);
}

TEST_F(RegistryContract, AnEnumerateOnlyHandleListsSubkeysButNotValues) {
  ASSERT_TRUE(reg_.OpenKey(Path("Sub"), true));
  RegKey key = 0;
  ASSERT_EQ(
      api_.OpenKey(hkey::kCurrentUser, scratch_.substr(1), KeyAccess::kEnumerateSubKeys, &key),
      winerr::kSuccess);
  KeyHandle owned(api_, key);
  EXPECT_EQ(ListSubKeys(api_, key), std::vector<std::string>{"Sub"});
  std::uint32_t type = 0;
  EXPECT_EQ(api_.SetValue(key, "v", regtype::kBinary, {}), winerr::kAccessDenied);
  EXPECT_EQ(api_.QueryValue(key, "v", &type, nullptr), winerr::kAccessDenied);
}

// The A functions take at most 260 characters of key path, key names at most 256.
TEST_F(RegistryContract, OverlongKeyPathsFailCleanly) {
  constexpr long kBadPathname = 161;
  std::string longPath;
  while (longPath.size() < 300) longPath += "\\segment" + std::to_string(longPath.size());
  longPath.resize(300);
  const RegKey before = reg_.CurrentKey();
  EXPECT_FALSE(reg_.OpenKey(longPath.substr(1), true));
  EXPECT_FALSE(reg_.OpenKey(std::string(300, 'k'), true));
  EXPECT_FALSE(reg_.OpenKey(std::string(257, 'k'), true));
  EXPECT_FALSE(reg_.KeyExists(longPath.substr(1)));
  EXPECT_FALSE(reg_.DeleteKey(longPath.substr(1)));
  EXPECT_EQ(reg_.CurrentKey(), before);
  EXPECT_TRUE(reg_.GetKeyNames().empty());

  RegKey key = 0;
  EXPECT_EQ(api_.CreateKey(before, std::string(261, 'k'), &key), winerr::kMoreData);
  EXPECT_EQ(api_.CreateKey(before, std::string(257, 'k'), &key), winerr::kInvalidParameter);
  EXPECT_EQ(api_.OpenKey(before, "\\Leading", KeyAccess::kAll, &key), kBadPathname);
  ASSERT_TRUE(reg_.OpenKey(std::string(255, 'k'), true));
  ASSERT_TRUE(reg_.OpenKey(scratch_, false));
  EXPECT_TRUE(reg_.KeyExists(std::string(255, 'k') + "\\"));  // a trailing backslash is ignored
  ASSERT_TRUE(reg_.OpenKey("Doubled\\\\Slash", true));        // and so is an empty name between
  ASSERT_TRUE(reg_.OpenKey(scratch_ + "\\Doubled", false));
  EXPECT_EQ(reg_.GetKeyNames(), std::vector<std::string>{"Slash"});
}

}  // namespace
}  // namespace zeb::contract
