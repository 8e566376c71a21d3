#include "directory/ldif.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "platform/text.h"

namespace zeb {

namespace {

// A line after unfolding, numbered by its first physical line.
struct LogicalLine {
  std::string text;
  int line = 0;
};

// One record's lines; records are separated by blank lines.
using LineGroup = std::vector<LogicalLine>;

class LdifError {
 public:
  LdifError(int line, std::string what) : line(line), what(std::move(what)) {}
  int line;
  std::string what;
};

int Base64Digit(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

std::vector<LineGroup> UnfoldIntoGroups(std::string_view text) {
  std::vector<LineGroup> groups(1);
  bool open = false;  // a logical line is being built and may be continued
  int number = 0;
  std::size_t start = 0;
  // Notepad's byte order mark is not part of the first line.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") start = 3;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view physical = text.substr(start, end - start);
    if (!physical.empty() && physical.back() == '\r') physical.remove_suffix(1);
    ++number;
    start = end + 1;

    if (!physical.empty() && physical.front() == ' ') {
      if (!open) throw LdifError(number, "a line that begins with a space continues the line "
                                         "before it, but there is none to continue");
      groups.back().back().text.append(physical.substr(1));
    } else if (physical.empty()) {
      open = false;
      if (!groups.back().empty()) groups.emplace_back();
    } else {
      open = true;
      groups.back().push_back({std::string(physical), number});
    }
  }
  // Comments may be folded too, so they are dropped only now.
  for (LineGroup& group : groups) {
    LineGroup kept;
    for (LogicalLine& line : group)
      if (line.text.front() != '#') kept.push_back(std::move(line));
    group = std::move(kept);
  }
  return groups;
}

bool IsAttributeNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         c == '-' || c == ';' || c == '.';
}

LdifAttribute ParseAttributeLine(const LogicalLine& line) {
  const std::string& text = line.text;
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos)
    throw LdifError(line.line, "the line \"" + Cut(text, 60) +
                                   "\" has no \":\" between an attribute name and its value");
  LdifAttribute attribute;
  attribute.type = text.substr(0, colon);
  attribute.line = line.line;
  bool validName = !attribute.type.empty() && attribute.type.front() != '-' &&
                   attribute.type.front() != ';';
  for (char c : attribute.type) validName = validName && IsAttributeNameChar(c);
  if (!validName)
    throw LdifError(line.line, "\"" + Cut(attribute.type, 60) + "\" is not an attribute name");

  std::size_t valueStart = colon + 1;
  const char form = valueStart < text.size() ? text[valueStart] : '\0';
  if (form == '<')
    throw LdifError(line.line, "values given by URL (\":<\") are not supported");
  if (form == ':') ++valueStart;
  while (valueStart < text.size() && text[valueStart] == ' ') ++valueStart;
  const std::string_view value = std::string_view(text).substr(std::min(valueStart, text.size()));
  if (form != ':') {
    attribute.value = std::string(value);
    return attribute;
  }
  std::string_view encoded = value;
  while (!encoded.empty() && encoded.back() == ' ') encoded.remove_suffix(1);
  if (!DecodeBase64(encoded, &attribute.value))
    throw LdifError(line.line, "the base64 value of \"" + attribute.type + "\" is not valid");
  return attribute;
}

LdifRecord ParseRecord(const LineGroup& group, std::size_t first) {
  LdifRecord record;
  const LdifAttribute dn = ParseAttributeLine(group[first]);
  if (!EqualsIgnoreCase(dn.type, "dn"))
    throw LdifError(dn.line, "a record must begin with \"dn:\", not \"" + dn.type + ":\"");
  record.dn = dn.value;
  record.line = dn.line;
  for (std::size_t i = first + 1; i < group.size(); ++i) {
    LdifAttribute attribute = ParseAttributeLine(group[i]);
    if (EqualsIgnoreCase(attribute.type, "changetype") ||
        EqualsIgnoreCase(attribute.type, "control"))
      throw LdifError(attribute.line,
                      "change records are not supported: the file must hold entries only");
    if (EqualsIgnoreCase(attribute.type, "dn"))
      throw LdifError(attribute.line, "a second \"dn:\" in one record (a blank line must "
                                      "separate records)");
    record.attributes.push_back(std::move(attribute));
  }
  return record;
}

// "version: 1" may open the file, alone or directly above the first record's "dn:".
std::size_t SkipVersionLine(const LineGroup& group) {
  const LdifAttribute first = ParseAttributeLine(group.front());
  if (!EqualsIgnoreCase(first.type, "version")) return 0;
  if (first.value != "1")
    throw LdifError(first.line, "LDIF version \"" + first.value + "\" is not supported");
  return 1;
}

LdifContent Unreadable(const std::string& path, std::string what) {
  LdifContent content;
  content.fileName = path;
  content.ok = false;
  content.unreadable = true;
  content.problem = {path, 0, std::move(what)};
  return content;
}

}  // namespace

std::string LdifProblem::Text() const {
  if (line <= 0) return file + ": " + what;
  return file + ", line " + std::to_string(line) + ": " + what;
}

bool DecodeBase64(std::string_view text, std::string* bytes) {
  if (text.size() % 4 != 0) return false;
  std::string out;
  out.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    const std::size_t padding = (text[i + 3] == '=') + (text[i + 2] == '=' && text[i + 3] == '=');
    if (padding > 0 && !last) return false;
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const int digit = k >= 4 - padding ? 0 : Base64Digit(text[i + k]);
      if (digit < 0) return false;
      group = (group << 6) | static_cast<std::uint32_t>(digit);
    }
    out.push_back(static_cast<char>((group >> 16) & 0xFF));
    if (padding < 2) out.push_back(static_cast<char>((group >> 8) & 0xFF));
    if (padding < 1) out.push_back(static_cast<char>(group & 0xFF));
  }
  *bytes = std::move(out);
  return true;
}

LdifContent ParseLdif(std::string_view text, const std::string& fileName) {
  LdifContent content;
  content.fileName = fileName;
  try {
    const std::vector<LineGroup> groups = UnfoldIntoGroups(text);
    bool firstRecord = true;
    for (const LineGroup& group : groups) {
      if (group.empty()) continue;
      const std::size_t first = firstRecord ? SkipVersionLine(group) : 0;
      firstRecord = false;
      if (first < group.size()) content.records.push_back(ParseRecord(group, first));
    }
  } catch (const LdifError& error) {
    content.ok = false;
    content.problem = {fileName, error.line, error.what};
  }
  return content;
}

LdifContent ReadLdifFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Unreadable(path, "the directory file cannot be opened");
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return Unreadable(path, "the directory file cannot be read");
  return ParseLdif(text, path);
}

}  // namespace zeb
