#include <gtest/gtest.h>

#include <vector>

#include "changes/review_texts.h"

namespace zeb {
namespace {

constexpr std::uint32_t kLocalMachine = 0x80000002u;
constexpr std::uint32_t kUsers = 0x80000003u;

ChangeRec Change(std::uint32_t kind, std::uint8_t subType) {
  return ChangeRec{kind, subType, "LOCATION", "OLD", "NEW"};
}

struct Row {
  std::uint32_t kind;
  std::uint8_t subType;
  const char* element;
  const char* operation;
  const char* subjectCaption;
  const char* oldCaption;
  const char* newCaption;
};

TEST(ReviewTextsTest, EachKindOfChangeHasItsOwnCaptions) {
  const std::vector<Row> rows = {
      {kLocalMachine, kRenameHive, "Registry Entry", "Rename Registy Hive", "Old:", "New:", ""},
      {changekind::kIniEntry, kChangeVariableName, "*.INI file entry", "Change variable name",
       "File Name:", "[section]Variable:", "New Name:"},
      {kUsers, kChangeVariableName, "Registry Entry", "Change variable name", "Hive Name:",
       "Variable:", "New Name:"},
      {changekind::kIniEntry, kChangeVariableContents, "*.INI file entry",
       "Change variable contents", "File Name:", "[Section]Variable:", "New contents:"},
      {kLocalMachine, kChangeVariableContents, "Registry Entry", "Change variable contents",
       "Hive Name:", "Variable:", "New contents:"},
      {changekind::kShortcutFile, kChangeShortcutPath, "Shortcut file properties",
       "Change shortcut path", "File Name:", "Old Path:", "New Path:"},
      {changekind::kShortcutFile, kChangeShortcutDirectory, "Shortcut file properties",
       "Change shortcut directory", "File Name:", "Current Directory:", "New Directory"},
      {changekind::kShortcutFile, kChangeShortcutArguments, "Shortcut file properties",
       "Change shortcut arguments", "File Name:", "Arguments:", "New Args:"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.operation + std::string(" kind ") + std::to_string(row.kind));
    const ReviewTexts texts = ReviewTextsFor(Change(row.kind, row.subType));
    EXPECT_EQ(texts.element, row.element);
    EXPECT_EQ(texts.operation, row.operation);
    EXPECT_EQ(texts.subjectCaption, row.subjectCaption);
    EXPECT_EQ(texts.oldCaption, row.oldCaption);
    EXPECT_EQ(texts.newCaption, row.newCaption);
    EXPECT_EQ(texts.subject, "LOCATION");
    EXPECT_EQ(texts.oldName, "OLD");
    EXPECT_EQ(texts.newName, "NEW");
  }
}

TEST(ReviewTextsTest, AKeyRenameShowsBothPathsAndAnEmptyLastRow) {
  const ReviewTexts texts =
      ReviewTextsFor({kUsers, kRenameHive, "\\Software\\Old Tree", "\\Software\\New Tree", ""});
  EXPECT_EQ(texts.subject, "\\Software\\Old Tree");
  EXPECT_EQ(texts.oldName, "\\Software\\New Tree");
  EXPECT_EQ(texts.newCaption, "");
  EXPECT_EQ(texts.newName, "");
}

TEST(ReviewTextsTest, AnyRootKeyIsARegistryEntry) {
  for (std::uint32_t kind : {0x80000000u, 0x80000001u, 0x80000005u, 0x80000006u, 0u, 7u}) {
    const ReviewTexts texts = ReviewTextsFor(Change(kind, kChangeVariableName));
    EXPECT_EQ(texts.element, "Registry Entry") << kind;
    EXPECT_EQ(texts.subjectCaption, "Hive Name:") << kind;
  }
}

TEST(ReviewTextsTest, AnUnknownSubtypeStillShowsTheChangeWithoutCaptions) {
  for (std::uint8_t subType : {0, 7, 255}) {
    const ReviewTexts texts = ReviewTextsFor(Change(changekind::kIniEntry, subType));
    EXPECT_EQ(texts.element, "*.INI file entry");
    EXPECT_EQ(texts.operation, "");
    EXPECT_EQ(texts.subjectCaption, "");
    EXPECT_EQ(texts.oldCaption, "");
    EXPECT_EQ(texts.newCaption, "");
    EXPECT_EQ(texts.subject, "LOCATION");
    EXPECT_EQ(texts.newName, "NEW");
  }
}

TEST(ReviewTextsTest, TextsAreShownAsTheyAreStored) {
  // Ampersands and accented letters (Windows-1252) are not touched: the labels show them.
  const ReviewTexts texts = ReviewTextsFor(
      {changekind::kIniEntry, kChangeVariableContents, "C:\\R&D\\A.INI", "[S]V", "\xC9quipe"});
  EXPECT_EQ(texts.subject, "C:\\R&D\\A.INI");
  EXPECT_EQ(texts.oldName, "[S]V");
  EXPECT_EQ(texts.newName, "\xC9quipe");
}

}  // namespace
}  // namespace zeb
