#pragma once
// The platform's match of a file name against a search pattern ("*.INI"), for walks that take
// what a pattern search would report out of one listing of the folder.
#include <string_view>

#include "platform/file_finder.h"

namespace zeb {

// `pattern` holds "*" (any run) and "?" (one character); case is ignored as Windows ignores
// it for file names, and dots and stars left over at the end of the pattern match nothing.
bool FilePatternMatches(std::string_view pattern, std::string_view name);

// Whether a search with `pattern` reports the listed entry: Windows tests the long name and
// the 8.3 alias it gives every name that is not a valid 8.3 name, so "*.INI" also reports
// "OLD.INIX" (alias "OLD~~???.INI").
bool PatternReports(std::string_view pattern, const FileEntry& entry);

}  // namespace zeb
