// Undo images over each backend: whatever a key, value or file held before, restoring its image
// gives back exactly that, in Wine's Registry as in the memory one. Keys live below
// HKCU\Software\ZebImageContract\<test>.
#include <gtest/gtest.h>

#include "changes/undo_image.h"
#include "contract/backend.h"
#include "platform/registry.h"

namespace zeb::contract {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr RegKey kHkcu = hkey::kCurrentUser;
constexpr char kParent[] = "\\Software\\ZebImageContract";
constexpr std::uint32_t kQword = 11;  // REG_QWORD

Bytes Sz(const std::string& text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

Bytes Pattern(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + i / 256);
  return bytes;
}

// One value of each kind the journal must carry, the default value among them.
const std::vector<RegValue>& EveryKind() {
  static const std::vector<RegValue> values = {
      {"", regtype::kString, Sz("the default value")},
      {"Expand", regtype::kExpandString, Sz("%SystemRoot%\\system32")},
      {"Multi", regtype::kMultiString, {'a', 0, 'b', 'c', 0, 0}},
      {"Number", regtype::kDword, {1, 2, 3, 4}},
      {"Quad", kQword, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"Nothing", regtype::kNone, {}},
      {"NoneWithData", regtype::kNone, {9, 9}},
      {"Big", regtype::kBinary, Pattern(40000)},
      {"Caf\xE9", regtype::kString, Sz("accented name")},
  };
  return values;
}

class UndoImageContract : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::string(kParent) + "\\" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    Layer().DeleteKey(scratch_);
  }
  void TearDown() override { Layer().DeleteKey(scratch_); }
  static void TearDownTestSuite() { zeb::Registry(Registry(), kHkcu).DeleteKey(kParent); }

  zeb::Registry Layer() { return zeb::Registry(Registry(), kHkcu); }
  std::string Path(const std::string& relative) const { return scratch_ + "\\" + relative; }

  void Set(const std::string& path, const RegValue& value) {
    zeb::Registry layer = Layer();
    ASSERT_TRUE(layer.OpenKey(path, true)) << path;
    ASSERT_EQ(Registry().SetValue(layer.CurrentKey(), value.name, value.type, value.data),
              winerr::kSuccess)
        << BackendName() << " " << value.name;
  }
  void Delete(const std::string& path, const std::string& name) {
    zeb::Registry layer = Layer();
    ASSERT_TRUE(layer.OpenKey(path, false));
    ASSERT_TRUE(layer.DeleteValue(name));
  }
  RegistryKeyImage Key(const std::string& path) {
    const std::optional<RegistryKeyImage> image = CaptureKey(Registry(), kHkcu, path);
    EXPECT_TRUE(image) << path;
    return image.value_or(RegistryKeyImage{});
  }
  RegistryValueImage Value(const std::string& path, const std::string& name) {
    const std::optional<RegistryValueImage> image = CaptureValue(Registry(), kHkcu, path, name);
    EXPECT_TRUE(image) << path << " " << name;
    return image.value_or(RegistryValueImage{});
  }
  // Names of the values as the Registry spells them now.
  std::vector<std::string> ValueNames(const std::string& path) {
    zeb::Registry layer = Layer();
    if (!layer.OpenKey(path, false)) return {};
    return layer.GetValueNames();
  }

  std::string scratch_;
};

TEST_F(UndoImageContract, EveryKindOfValueComesBackWithItsTypeAndData) {
  const std::string key = Path("K");
  for (const RegValue& value : EveryKind()) Set(key, value);

  for (const RegValue& original : EveryKind()) {
    SCOPED_TRACE(original.name);
    const RegistryValueImage image = Value(key, original.name);
    ASSERT_TRUE(image.exists);
    EXPECT_EQ(image.type, original.type);
    EXPECT_EQ(image.data, original.data);

    // Save writes contents as REG_SZ; the image brings the type back.
    Set(key, {original.name, regtype::kString, Sz("written by the run")});
    EXPECT_NE(Value(key, original.name), image);
    ASSERT_TRUE(RestoreValue(Registry(), kHkcu, key, original.name, image));
    EXPECT_EQ(Value(key, original.name), image);

    Delete(key, original.name);
    ASSERT_TRUE(RestoreValue(Registry(), kHkcu, key, original.name, image));
    EXPECT_EQ(Value(key, original.name), image);
  }
}

TEST_F(UndoImageContract, AValueOrKeyThatDidNotExistIsRemovedAgain) {
  const std::string key = Path("K");
  Set(key, {"Present", regtype::kString, Sz("x")});
  const RegistryValueImage absent = Value(key, "Made by the run");
  const RegistryValueImage inMissingKey = Value(Path("NoKey"), "V");
  EXPECT_FALSE(absent.exists);
  EXPECT_FALSE(inMissingKey.exists);
  const RegistryKeyImage missingKey = Key(Path("NoKey"));
  EXPECT_FALSE(missingKey.exists);

  Set(key, {"Made by the run", regtype::kDword, {1, 0, 0, 0}});
  Set(Path("NoKey\\Deeper"), {"V", regtype::kString, Sz("made")});
  ASSERT_TRUE(RestoreValue(Registry(), kHkcu, key, "Made by the run", absent));
  ASSERT_TRUE(RestoreKey(Registry(), kHkcu, Path("NoKey"), missingKey));

  EXPECT_EQ(ValueNames(key), std::vector<std::string>{"Present"});
  EXPECT_FALSE(Layer().KeyExists(Path("NoKey")));
  // Putting back what is already so is no failure.
  EXPECT_TRUE(RestoreValue(Registry(), kHkcu, key, "Made by the run", absent));
  EXPECT_TRUE(RestoreValue(Registry(), kHkcu, Path("NoKey"), "V", inMissingKey));
  EXPECT_TRUE(RestoreKey(Registry(), kHkcu, Path("NoKey"), missingKey));
}

TEST_F(UndoImageContract, AKeyComesBackExactlyWhateverWasDoneToItsSubtree) {
  const std::string top = Path("CN=Old");
  for (const RegValue& value : EveryKind()) Set(top, value);
  Set(top + "\\Sub", {"Inner", regtype::kString, Sz("inner")});
  Set(top + "\\Sub\\Deeper\\Deepest", {"Leaf", regtype::kBinary, Pattern(20000)});
  Set(top + "\\Empty", {"Gone", regtype::kString, Sz("")});
  Delete(top + "\\Empty", "Gone");
  const RegistryKeyImage original = Key(top);
  ASSERT_TRUE(original.exists);
  EXPECT_EQ(original.values.size(), EveryKind().size());
  ASSERT_EQ(original.subKeys.size(), 2u);

  // Everything a run or a hand could do: change, add, delete, re-case names.
  Set(top, {"Number", regtype::kString, Sz("7")});
  Set(top, {"Added", regtype::kString, Sz("new")});
  Delete(top, "Quad");
  Delete(top, "Caf\xE9");
  Set(top, {"CAF\xC9", regtype::kString, Sz("accented name")});
  Layer().DeleteKey(top + "\\Sub\\Deeper");
  Set(top + "\\Extra\\Below", {"X", regtype::kString, Sz("x")});
  Layer().DeleteKey(top + "\\SUB");
  Set(top + "\\SUB", {"Inner", regtype::kString, Sz("inner")});
  EXPECT_NE(Key(top), original);

  ASSERT_TRUE(RestoreKey(Registry(), kHkcu, top, original)) << BackendName();

  EXPECT_EQ(Key(top), original);
  EXPECT_FALSE(Layer().KeyExists(top + "\\Extra"));
  const std::vector<std::string> names = ValueNames(top);
  EXPECT_NE(std::find(names.begin(), names.end(), "Caf\xE9"), names.end());  // its own case
  zeb::Registry layer = Layer();
  ASSERT_TRUE(layer.OpenKey(top, false));
  std::vector<std::string> keys = layer.GetKeyNames();
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, (std::vector<std::string>{"Empty", "Sub"}));
}

TEST_F(UndoImageContract, AKeyMovedAwayIsRecreatedWholeFromItsImage) {
  const std::string key = Path("Moved");
  Set(key + "\\A\\B", {"V", regtype::kString, Sz("deep")});
  Set(key, {"", regtype::kString, Sz("default")});
  const RegistryKeyImage image = Key(key);
  Layer().DeleteKey(key);
  ASSERT_FALSE(Layer().KeyExists(key));

  ASSERT_TRUE(RestoreKey(Registry(), kHkcu, key, image));
  EXPECT_EQ(Key(key), image);
  EXPECT_EQ(Value(key + "\\A\\B", "V").data, Sz("deep"));
}

TEST_F(UndoImageContract, ImagesCompareByContentsNotByOrder) {
  const RegistryValueImage missing;
  const RegistryValueImage empty{true, regtype::kString, Sz("")};
  const RegistryValueImage noneType{true, regtype::kNone, Sz("")};
  EXPECT_EQ(missing, (RegistryValueImage{false, regtype::kDword, {1}}));  // missing is missing
  EXPECT_NE(missing, empty);
  EXPECT_NE(empty, noneType);
  EXPECT_NE(empty, (RegistryValueImage{true, regtype::kString, Sz(" ")}));

  RegistryKeyImage a{true, {{"x", 1, Sz("1")}, {"y", 4, {1, 0, 0, 0}}}, {}};
  a.subKeys.push_back({"S", RegistryKeyImage{true, {}, {}}});
  a.subKeys.push_back({"T", RegistryKeyImage{true, {{"", 1, Sz("d")}}, {}}});
  RegistryKeyImage b{true, {a.values[1], a.values[0]}, {a.subKeys[1], a.subKeys[0]}};
  EXPECT_EQ(a, b);
  b.subKeys[0].image.values[0].data = Sz("e");
  EXPECT_NE(a, b);
  RegistryKeyImage c = a;
  c.values[0].name = "X";  // another spelling is another image
  EXPECT_NE(a, c);
  EXPECT_NE(a, RegistryKeyImage{});
  EXPECT_NE(a, (RegistryKeyImage{true, a.values, {}}));

  EXPECT_EQ(FileImage{}, (FileImage{false, "ignored"}));
  EXPECT_NE(FileImage{}, (FileImage{true, ""}));
  EXPECT_NE((FileImage{true, "a"}), (FileImage{true, "b"}));
}

TEST_F(UndoImageContract, FilesComeBackByteForByteOrGoAgain) {
  const std::string folder = NewFolder();
  const std::string ini = folder + "\\NET.INI";
  // A zero byte and the tail after it belong to the file too.
  static const char kBytes[] = "[Net]\r\nContext=OU=Old\r\n\r\n; comment \xE9\x1A\x00tail";
  WriteTestFile(ini, std::string(kBytes, sizeof kBytes - 1));
  const std::optional<FileImage> before = CaptureFile(FileBytes(), ini);
  const std::optional<FileImage> absent = CaptureFile(FileBytes(), folder + "\\NEW.INI");
  ASSERT_TRUE(before && absent);
  EXPECT_TRUE(before->exists);
  EXPECT_FALSE(absent->exists);

  WriteTestFile(ini, "[Net]\r\nContext=OU=New\r\n");
  WriteTestFile(folder + "\\NEW.INI", "[Made]\r\n");
  ASSERT_TRUE(RestoreFile(FileBytes(), ini, *before));
  ASSERT_TRUE(RestoreFile(FileBytes(), folder + "\\NEW.INI", *absent));

  EXPECT_EQ(ReadTestFile(ini), before->bytes);
  EXPECT_EQ(CaptureFile(FileBytes(), ini), before);
  EXPECT_FALSE(TestFileExists(folder + "\\NEW.INI"));
}

}  // namespace
}  // namespace zeb::contract
