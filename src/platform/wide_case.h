#pragma once
// Windows compares file names, INI names and Registry names without case beyond ASCII: in
// UTF-16, after converting through the ANSI code page. The memory backend and the file
// pattern match do the same.
#include <string>
#include <string_view>

namespace zeb {

// Unicode case mapping, limited to the letters Windows-1252 can hold.
char16_t UpperWide(char16_t c);
char16_t LowerWide(char16_t c);

// A name's bytes through the code page, lower-cased. Comparing these keys unit by unit
// gives the order in which Wine enumerates Registry keys and values.
std::u16string FoldedName(std::string_view name);

}  // namespace zeb
