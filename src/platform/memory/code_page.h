#pragma once
// Windows keeps file names and INI text as UTF-16 and converts at the byte-string (A)
// functions through the ANSI code page, Windows-1252 on the workstations and prefixes we
// test on. The memory backend converts at the same places, so that odd bytes, accented
// names and files with a byte-order mark come out as they do under Windows.
#include <string>
#include <string_view>

namespace zeb {

std::u16string AnsiToWide(std::string_view bytes);
// Characters the code page lacks become "?" (Windows would pick a look-alike for some).
std::string WideToAnsi(std::u16string_view text);

// Malformed sequences read as U+FFFD, as MultiByteToWideChar reads them.
std::u16string Utf8ToWide(std::string_view bytes);
std::string WideToUtf8(std::u16string_view text);

// Unicode case mapping, limited to the letters the code page can hold.
char16_t UpperWide(char16_t c);
char16_t LowerWide(char16_t c);

}  // namespace zeb
