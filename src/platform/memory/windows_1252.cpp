#include "platform/memory/windows_1252.h"

namespace zeb::cp1252 {
namespace {

// Bytes 0x80-0x9F; the five bytes the code page leaves undefined map to themselves.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t Lower(char16_t unit) {
  if ((unit >= u'A' && unit <= u'Z') || (unit >= 0xC0 && unit <= 0xDE && unit != 0xD7))
    return static_cast<char16_t>(unit + 0x20);
  switch (unit) {
    case 0x0160: case 0x0152: case 0x017D: return static_cast<char16_t>(unit + 1);
    case 0x0178: return 0x00FF;
    default: return unit;
  }
}

}  // namespace

char16_t ToUnicode(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char16_t{byte};
}

char FromUnicode(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == unit) return static_cast<char>(0x80 + i);
  return '?';
}

std::u16string FoldedName(std::string_view name) {
  std::u16string folded;
  folded.reserve(name.size());
  for (const char c : name) folded.push_back(Lower(ToUnicode(static_cast<unsigned char>(c))));
  return folded;
}

}  // namespace zeb::cp1252
