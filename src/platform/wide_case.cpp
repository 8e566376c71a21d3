#include "platform/wide_case.h"

#include <array>

#include "platform/code_page_1252.h"

namespace zeb {
namespace {

// Lower/upper pairs outside the two Latin-1 letter blocks.
struct CasePair {
  char16_t lower, upper;
};
constexpr std::array<CasePair, 6> kCasePairs = {{
    {0x00FF, 0x0178}, {0x0161, 0x0160}, {0x0153, 0x0152},
    {0x017E, 0x017D}, {0x0192, 0x0191}, {0x00B5, 0x039C},
}};

}  // namespace

char16_t UpperWide(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
  for (const CasePair& pair : kCasePairs)
    if (pair.lower == c) return pair.upper;
  return c;
}

char16_t LowerWide(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);
  for (const CasePair& pair : kCasePairs)
    if (pair.upper == c && pair.lower != 0xB5) return pair.lower;
  return c;
}

std::u16string FoldedName(std::string_view name) {
  std::u16string folded = AnsiToWide(name);
  for (char16_t& c : folded) c = LowerWide(c);
  return folded;
}

bool SameFoldedName(std::string_view a, std::string_view b) {
  return FoldedName(a) == FoldedName(b);
}

// The code page maps byte to code unit one for one, so positions agree in both forms.
bool IsFoldedPathBelow(std::string_view path, std::string_view ancestor) {
  if (path.size() <= ancestor.size() || path[ancestor.size()] != '\\') return false;
  return SameFoldedName(path.substr(0, ancestor.size()), ancestor);
}

}  // namespace zeb
