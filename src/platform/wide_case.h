#pragma once
// Windows compares file names, INI names and Registry names without case beyond ASCII: in
// UTF-16, after converting through the ANSI code page ("Caf\xE9" and "CAF\xC9" are one key).
// The memory backend and the file pattern match do the same, and so does every check of the
// program that must know whether two names are one entry to Windows.
#include <string>
#include <string_view>

namespace zeb {

// Unicode case mapping, limited to the letters Windows-1252 can hold.
char16_t UpperWide(char16_t c);
char16_t LowerWide(char16_t c);

// A name's bytes through the code page, lower-cased. Comparing these keys unit by unit
// gives the order in which Wine enumerates Registry keys and values.
std::u16string FoldedName(std::string_view name);

// Whether Windows takes the two names (or key paths) for the same entry.
bool SameFoldedName(std::string_view a, std::string_view b);
// True when the key path `path` lies strictly below `ancestor`, compared the same way.
bool IsFoldedPathBelow(std::string_view path, std::string_view ancestor);

}  // namespace zeb
