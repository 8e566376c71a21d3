#pragma once
// Which names a FindFirstFileA pattern ("*.LNK") selects. Windows tests the long name and
// the short 8.3 alias it gives every name that is not a valid 8.3 name, so "*.LNK" also
// selects "OLD.LNKX" (alias "OLD~~???.LNK"). The aliases follow Wine's scheme: the first
// four characters, "~" filler, three characters hashed from the whole name, and the first
// three characters of the extension.
#include <string>
#include <string_view>

namespace zeb {

// `mask` holds "*" (any run) and "?" (one character); case is ignored, and dots and
// stars left over at the end of the mask match nothing.
bool FileNameMatches(std::string_view mask, std::string_view name);
// The 8.3 alias of a name, or empty when the name is a valid 8.3 name itself.
std::string ShortFileName(std::string_view name);

}  // namespace zeb
