#pragma once
// Byte strings in the ANSI code page. "Ignoring case" means the ASCII letters a-z only:
// accented letters and every other byte must match exactly.
#include <cstddef>
#include <string>
#include <string_view>

namespace zeb {

constexpr std::size_t kNotFound = std::string_view::npos;

char UpperAscii(char c);
std::string UpperAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);
bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix);
// 0-based position of the first occurrence, or kNotFound. An empty needle is found at 0.
std::size_t FindIgnoreCase(std::string_view haystack, std::string_view needle);
// Replaces the first occurrence of `search` (ignoring case) by `replacement`; the rest keeps
// its case. Returns false and leaves `result` alone when `search` does not occur or is empty.
bool ReplaceFirstIgnoreCase(std::string_view text, std::string_view search,
                            std::string_view replacement, std::string* result);
// 0 to 15 for a hex digit of either case, -1 for any other character.
int HexDigitValue(char c);
// At most `limit` bytes from the start.
std::string Cut(std::string_view text, std::size_t limit);
// printf-like "%s" substitution for the program's fixed message texts.
std::string SubstituteArgument(std::string_view pattern, std::string_view argument);

}  // namespace zeb
