#include <gtest/gtest.h>

#include <string>

#include "platform/code_page_1252.h"

namespace zeb {
namespace {

TEST(CodePage1252Test, EveryByteComesBackFromUnicode) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  const std::u16string wide = AnsiToWide(all);
  ASSERT_EQ(wide.size(), 256u);
  EXPECT_EQ(wide[0x80], u'\x20AC');  // euro sign
  EXPECT_EQ(wide[0x9F], u'\x0178');  // Y diaeresis
  EXPECT_EQ(wide[0xE9], u'\x00E9');  // Latin-1 range unchanged
  EXPECT_EQ(WideToAnsi(wide), all);
  // U+0080 has no byte: 0x80 stands for the euro sign.
  EXPECT_EQ(WideToAnsi(u"\x0080"), "?");
}

TEST(CodePage1252Test, ConvertsToUtf8) {
  EXPECT_EQ(AnsiToUtf8("plain ASCII"), "plain ASCII");
  EXPECT_EQ(AnsiToUtf8("caf\xE9"), "caf\xC3\xA9");                   // e-acute, Latin-1 range
  EXPECT_EQ(AnsiToUtf8("\x80"), "\xE2\x82\xAC");                     // euro sign
  EXPECT_EQ(AnsiToUtf8("\x93quoted\x94"), "\xE2\x80\x9Cquoted\xE2\x80\x9D");
  EXPECT_EQ(AnsiToUtf8("\x8A\x9F"), "\xC5\xA0\xC5\xB8");             // S-caron, Y-diaeresis
  EXPECT_EQ(AnsiToUtf8("\xFF"), "\xC3\xBF");
  // Undefined in Windows-1252: kept as the C1 control of the same value.
  EXPECT_EQ(AnsiToUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
  EXPECT_EQ(AnsiToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
}  // namespace zeb
