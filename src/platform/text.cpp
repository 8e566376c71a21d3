#include "platform/text.h"

namespace zeb {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         EqualsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

std::size_t FindIgnoreCase(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return 0;
  if (needle.size() > haystack.size()) return kNotFound;
  const char first = UpperAscii(needle[0]);
  for (std::size_t i = 0; i + needle.size() <= haystack.size(); ++i) {
    if (UpperAscii(haystack[i]) != first) continue;
    if (EqualsIgnoreCase(haystack.substr(i, needle.size()), needle)) return i;
  }
  return kNotFound;
}

bool ReplaceFirstIgnoreCase(std::string_view text, std::string_view search,
                            std::string_view replacement, std::string* result) {
  if (search.empty()) return false;
  const std::size_t p = FindIgnoreCase(text, search);
  if (p == kNotFound) return false;
  std::string out;
  out.reserve(text.size() - search.size() + replacement.size());
  out.append(text.substr(0, p)).append(replacement).append(text.substr(p + search.size()));
  *result = std::move(out);
  return true;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Cut(std::string_view text, std::size_t limit) {
  return std::string(text.substr(0, limit));
}

std::string SubstituteArgument(std::string_view pattern, std::string_view argument) {
  std::string out(pattern);
  const std::size_t p = out.find("%s");
  if (p != std::string::npos) out.replace(p, 2, argument);
  return out;
}

}  // namespace zeb
