#include "platform/code_page_1252.h"

#include "platform/unicode.h"

namespace zeb {
namespace {

// Bytes 0x80-0x9F; every other byte has its Latin-1 value.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char16_t ToUnicode(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char16_t{byte};
}

char FromUnicode(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == unit) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

std::u16string AnsiToWide(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (const char byte : bytes) out += ToUnicode(static_cast<unsigned char>(byte));
  return out;
}

std::string WideToAnsi(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char16_t unit : text) out += FromUnicode(unit);
  return out;
}

std::string AnsiToUtf8(std::string_view bytes) { return WideToUtf8(AnsiToWide(bytes)); }

bool Utf8ToAnsi(std::string_view utf8, std::string* ansi) {
  // Every byte of the code page stands for a character of its own, so the conversion lost
  // nothing exactly when it converts back to the same text.
  std::string bytes = WideToAnsi(Utf8ToWide(utf8));
  if (AnsiToUtf8(bytes) != utf8) return false;
  *ansi = std::move(bytes);
  return true;
}

}  // namespace zeb
