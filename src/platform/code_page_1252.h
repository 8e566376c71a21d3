#pragma once
// The ANSI code page of the workstations and Wine prefixes the program runs on, Windows-1252:
// one table for every place that turns the program's byte strings into Unicode or back.
#include <string>
#include <string_view>

namespace zeb {

// The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1
// control characters of the same value, as MultiByteToWideChar makes them, so every byte
// comes back from WideToAnsi as it went in.
std::u16string AnsiToWide(std::string_view bytes);
// Characters the code page lacks become "?" (Windows would pick a look-alike for some).
std::string WideToAnsi(std::u16string_view text);

// For files read outside Windows.
std::string AnsiToUtf8(std::string_view bytes);
// Well-formed UTF-8 to the code page. False, with `ansi` left alone, when a character has
// no byte in the code page (the program's byte strings cannot hold it) or `utf8` is
// malformed.
[[nodiscard]] bool Utf8ToAnsi(std::string_view utf8, std::string* ansi);

}  // namespace zeb
