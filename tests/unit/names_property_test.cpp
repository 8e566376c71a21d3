// Seeded random texts through the name operations: no crash, results within the cuts the
// fixed buffers make, and the round trips that hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "directory/names.h"
#include "platform/text.h"
#include "support/recording_view.h"
#include "support/scripted_directory.h"

namespace zeb {
namespace {

constexpr int kRounds = 3000;

class TextMaker {
 public:
  explicit TextMaker(unsigned seed) : random_(seed) {}

  // Pieces that matter to the operations, and sometimes a run of 300 or more characters.
  std::string AnyText() {
    static const std::vector<std::string> pieces = {
        "\\", "\\\\", ".", "=", "VRX:", "VRX:\\\\", "vrx:\\\\", "TREE", "./", "CN=", "O=",
        "a",  "Z",    "\xC9", "\xE9", " ", "Acme", "..", "\\.", std::string(1, '\0')};
    std::string text;
    const int count = Number(0, 12);
    for (int i = 0; i < count; ++i) {
      if (Number(0, 15) == 0) {
        text.append(static_cast<std::size_t>(Number(300, 700)), "ab.\\="[Number(0, 4)]);
      } else {
        text.append(pieces[static_cast<std::size_t>(Number(0, int(pieces.size()) - 1))]);
      }
    }
    return text;
  }

  // A component without separators or types, 1 to 12 characters.
  std::string Component() {
    static const std::string letters = "abcXYZ019_-\xE9\xC9 ";
    std::string text;
    const int length = Number(1, 12);
    for (int i = 0; i < length; ++i)
      text.push_back(letters[static_cast<std::size_t>(Number(0, int(letters.size()) - 1))]);
    return text;
  }

  std::vector<std::string> Components(int most) {
    std::vector<std::string> components;
    const int count = Number(1, most);
    for (int i = 0; i < count; ++i) components.push_back(Component());
    return components;
  }

  int Number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

 private:
  std::mt19937 random_;
};

std::string Join(const std::vector<std::string>& parts, const std::string& separator,
                 bool reversed) {
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) text += separator;
    text += parts[reversed ? parts.size() - 1 - i : i];
  }
  return text;
}

TEST(NameProperties, EveryResultStaysWithinItsLimits) {
  TextMaker maker(20240601);
  for (int round = 0; round < kRounds; ++round) {
    const std::string text = maker.AnyText();
    SCOPED_TRACE(round);

    const int p = LastCharPos('\\', text);
    ASSERT_TRUE(p == 0 ? text.find('\\') == std::string::npos
                       : text[std::size_t(p) - 1] == '\\' && text.find('\\', std::size_t(p)) ==
                                                                 std::string::npos);

    const std::string dotted = FullNameToDotted(text);
    EXPECT_LE(dotted.size(), kNameLimit);
    EXPECT_TRUE(dotted.empty() || dotted.front() != '.');

    if (text.find('=') != std::string::npos) {
      EXPECT_LE(StripNameType(text).size(), kNameLimit);
    }

    // One component per dot of the dotted text, each behind its own backslash.
    const std::string path = DottedToPath(text);
    if (!text.empty() && text.front() != '.' && text.size() <= kNameLimit - 1 &&
        text.find('=') == std::string::npos) {
      const auto dots = std::count(text.begin(), text.end(), '.');
      const auto slashesInText = std::count(text.begin(), text.end(), '\\');
      EXPECT_EQ(std::count(path.begin(), path.end(), '\\'), dots + 1 + slashesInText);
    }

    const int form = ClassifyName(text);
    EXPECT_EQ(((form & nameform::kTypeful) != 0) + ((form & nameform::kTypeless) != 0), 1);
    EXPECT_NE(form & (nameform::kPath | nameform::kDotted), 0);

    const std::string full = UncToFullName(text);
    if (!full.empty()) {
      EXPECT_TRUE(StartsWithIgnoreCase(full, "VRX:"));
      EXPECT_NE(full.back(), '\\');
    }
    EXPECT_TRUE(StartsWithIgnoreCase(FullNameToUnc(text), "\\\\"));

    // Cut only when the folder's name comes after a backslash; a first component is whole.
    const std::size_t last = text.rfind('\\');
    const std::string parent = ParentFolderName(text);
    if (last == std::string::npos) {
      EXPECT_EQ(parent, "");
    } else if (text.rfind('\\', last == 0 ? 0 : last - 1) == std::string::npos || last == 0) {
      EXPECT_EQ(parent, text.substr(0, last));
    } else {
      EXPECT_LE(parent.size(), kNameLimit);
    }

    const NameSplit split = SplitAtTree(text, "TREE");
    EXPECT_LE(split.rest.size(), kNameLimit);
    EXPECT_EQ(text.compare(0, split.objectPart.size(), split.objectPart), 0);
    if (!split.rest.empty()) {
      EXPECT_TRUE(split.rest.front() == '\\' || split.rest.compare(0, 2, "./") == 0);
    }
    if (text.size() <= kNameLimit) {
      EXPECT_EQ(split.objectPart + split.rest, text);
    }
  }
}

TEST(NameProperties, DottedAndPathFormsRoundTrip) {
  TextMaker maker(7);
  for (int round = 0; round < kRounds; ++round) {
    const std::vector<std::string> rootFirst = maker.Components(8);
    const std::string dotted = Join(rootFirst, ".", true);
    const std::string path = "\\" + Join(rootFirst, "\\", false);
    SCOPED_TRACE(dotted);

    EXPECT_EQ(DottedToPath(dotted), path);
    EXPECT_EQ(DottedToPath("." + dotted), path);
    EXPECT_EQ(FullNameToDotted("VRX:\\\\T" + path), dotted);

    // Types make no difference to the path.
    std::vector<std::string> typed;
    for (const std::string& component : rootFirst) typed.push_back("OU=" + component);
    EXPECT_EQ(DottedToPath(Join(typed, ".", true)), path);

    const std::string full = "VRX:\\\\TREE" + path;
    EXPECT_EQ(FullNameToUnc(full), "\\\\TREE\\." + dotted);
    EXPECT_EQ(UncToFullName(FullNameToUnc(full)), full);
  }
}

std::size_t LongestSegment(const std::string& text, char separator) {
  std::size_t longest = 0;
  std::size_t start = 0;
  for (std::size_t at = text.find(separator); at != std::string::npos;
       start = at + 1, at = text.find(separator, start))
    longest = std::max(longest, at - start);
  return std::max(longest, text.size() - start);
}

TEST(NameProperties, FindObjectPrefixAndCanonicalizeStayInBounds) {
  TextMaker maker(99);
  testing::ScriptedDirectory client;
  // Longer than the client's 512-character buffers hold, with a zero inside.
  client.readAnswer = std::string(600, 'r');
  client.canonicalAnswer = std::string(300, 'c') + std::string(1, '\0') + std::string(400, 'c');
  testing::RecordingView view;
  DirectoryNames names(client, 1, "TREE", view);
  for (int round = 0; round < kRounds; ++round) {
    const std::string text = maker.AnyText();
    SCOPED_TRACE(round);
    client.entries.clear();
    // No directory has an entry with an empty name.
    for (std::size_t at = text.find('\\', 1); at != std::string::npos;
         at = text.find('\\', at + 1))
      if (maker.Number(0, 3) == 0) client.entries.insert(text.substr(0, at));
    client.lookups.clear();

    const NameSplit split = names.FindObjectPrefix(text);
    const auto slashes = std::count(text.begin(), text.end(), '\\');
    EXPECT_LE(static_cast<std::ptrdiff_t>(client.lookups.size()), slashes + 1);
    if (split.objectPart.empty()) {
      EXPECT_EQ(split.rest, text);
    } else {
      EXPECT_EQ(client.entries.count(split.objectPart), 1u);
      EXPECT_TRUE(split.rest.front() == '\\');
      // Each tail is cut at 255 characters; with shorter ones nothing is lost.
      if (LongestSegment(text, '\\') < kNameLimit) {
        EXPECT_EQ(split.objectPart + split.rest, text);
      }
    }

    const std::string canonical = names.CanonicalizeName(text);
    if (canonical != text) {
      EXPECT_EQ(client.canonicalized.back(), std::string(511, 'r'));
      EXPECT_EQ(canonical, std::string(300, 'c'));
    }
  }
  EXPECT_TRUE(view.messages.empty());
}

}  // namespace
}  // namespace zeb
