#include "platform/file_pattern.h"

#include <string>

#include "platform/code_page_1252.h"
#include "platform/wide_case.h"

namespace zeb {
namespace {

bool WideMatches(std::u16string_view mask, std::u16string_view name) {
  std::size_t m = 0, n = 0;
  std::size_t starMask = std::u16string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == u'*') {
      starMask = ++m;
      starName = n;
    } else if (m < mask.size() && (mask[m] == u'?' || UpperWide(mask[m]) == UpperWide(name[n]))) {
      ++m, ++n;
    } else if (starMask != std::u16string_view::npos) {
      m = starMask;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && (mask[m] == u'*' || mask[m] == u'.')) ++m;
  return m == mask.size();
}

}  // namespace

bool FilePatternMatches(std::string_view pattern, std::string_view name) {
  return WideMatches(AnsiToWide(pattern), AnsiToWide(name));
}

bool PatternReports(std::string_view pattern, const FileEntry& entry) {
  return FilePatternMatches(pattern, entry.name) ||
         (!entry.shortName.empty() && FilePatternMatches(pattern, entry.shortName));
}

}  // namespace zeb
