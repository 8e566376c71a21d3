#pragma once
// The ANSI code page of the Wine prefixes the program is tested in (Windows-1252), for the
// memory backend's imitation of how the Registry compares names and reads UTF-16 .reg data.
#include <string>
#include <string_view>

namespace zeb::cp1252 {

char16_t ToUnicode(unsigned char byte);
// The byte for a UTF-16 unit, or '?' when the code page has none (as the A functions give).
char FromUnicode(char16_t unit);
// The Registry's key for a name: every character in UTF-16, lower-cased. Comparing these keys
// unit by unit gives the order in which Wine enumerates keys and values.
std::u16string FoldedName(std::string_view name);

}  // namespace zeb::cp1252
