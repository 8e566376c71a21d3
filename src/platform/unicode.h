#pragma once
// UTF-8 and UTF-16 files as Windows reads and writes them: text in UTF-16 (std::u16string),
// converted as MultiByteToWideChar and WideCharToMultiByte convert it.
#include <string>
#include <string_view>

namespace zeb {

// Malformed sequences read as U+FFFD.
std::u16string Utf8ToWide(std::string_view bytes);
// True when every byte belongs to a well-formed UTF-8 sequence (ASCII text included).
bool IsUtf8(std::string_view bytes);
// A lone surrogate is written as U+FFFD.
std::string WideToUtf8(std::u16string_view text);

// Byte pairs in either order; a trailing odd byte is dropped.
std::u16string Utf16BytesToWide(std::string_view bytes, bool bigEndian);
std::string WideToUtf16Bytes(std::u16string_view text, bool bigEndian);

}  // namespace zeb
