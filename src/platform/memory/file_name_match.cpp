#include "platform/memory/file_name_match.h"

#include "platform/code_page_1252.h"
#include "platform/file_pattern.h"
#include "platform/wide_case.h"

namespace zeb {
namespace {

constexpr std::u16string_view kNotInShortNames = u"*?<>|\"+=,;[] ";

bool IsValidShortNameChar(char16_t c) {
  return c <= 0x7F && c != u'~' && c != u'.' && kNotInShortNames.find(c) == std::u16string_view::npos;
}

bool IsValidShortName(std::u16string_view name) {
  if (name == u"." || name == u"..") return true;
  if (name.empty() || name.size() > 12 || name[0] == u'.') return false;
  std::size_t dot = std::u16string_view::npos;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char16_t c = name[i];
    if (c == u'.') {
      if (dot != std::u16string_view::npos) return false;
      dot = i;
    } else if (c == u':' || c == u'/' || c == u'\\' || !IsValidShortNameChar(c)) {
      return false;
    }
  }
  if (dot == std::u16string_view::npos) return name.size() <= 8;
  const std::size_t extension = name.size() - dot - 1;
  return dot <= 8 && extension >= 1 && extension <= 3;
}

std::u16string ShortAlias(std::u16string_view name) {
  // Hash of the name with case folded, so both spellings of a name get one alias.
  unsigned hash = 0xBEEF;
  const auto step = [&hash](unsigned mixed) { hash = ((hash << 3) ^ (hash >> 5) ^ mixed) & 0xFFFF; };
  for (std::size_t i = 0; i + 1 < name.size(); ++i)
    step(LowerWide(name[i]) ^ (static_cast<unsigned>(LowerWide(name[i + 1])) << 8));
  step(LowerWide(name.back()));

  std::size_t extension = std::u16string_view::npos;  // the last dot, not first nor last
  for (std::size_t i = 1; i + 1 < name.size(); ++i)
    if (name[i] == u'.') extension = i;

  const auto shortChar = [](char16_t c) { return IsValidShortNameChar(c) ? UpperWide(c) : u'_'; };
  std::u16string alias;
  for (std::size_t i = 0; i < 4 && i < name.size() && i != extension; ++i) alias += shortChar(name[i]);
  alias.append(5 - alias.size(), u'~');
  constexpr std::u16string_view kHashChars = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
  alias += kHashChars[(hash >> 10) & 0x1F];
  alias += kHashChars[(hash >> 5) & 0x1F];
  alias += kHashChars[hash & 0x1F];
  if (extension != std::u16string_view::npos) {
    alias += u'.';
    for (std::size_t i = extension + 1; i < name.size() && i <= extension + 3; ++i)
      alias += shortChar(name[i]);
  }
  return alias;
}

}  // namespace

bool FileNameMatches(std::string_view mask, std::string_view name) {
  if (FilePatternMatches(mask, name)) return true;
  const std::string alias = ShortFileName(name);
  return !alias.empty() && FilePatternMatches(mask, alias);
}

std::string ShortFileName(std::string_view name) {
  const std::u16string wideName = AnsiToWide(name);
  if (wideName.empty() || IsValidShortName(wideName)) return {};
  return WideToAnsi(ShortAlias(wideName));
}

}  // namespace zeb
