#pragma once
// The program's byte strings (Windows-1252) as UTF-8, for files read outside Windows.
#include <string>
#include <string_view>

namespace zeb {

// The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the
// C1 control characters of the same value, as MultiByteToWideChar makes them.
std::string AnsiToUtf8(std::string_view ansi);

}  // namespace zeb
