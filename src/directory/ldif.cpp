#include "directory/ldif.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <fstream>
#include <iterator>

#include "platform/text.h"

namespace zeb {

namespace {

// A line after unfolding, numbered by its first physical line. It views the file's text, or
// for a folded line the joined copy kept beside the groups: most lines are not folded, and a
// copy of each would cost an allocation per line of an export.
struct LogicalLine {
  std::string_view text;
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

// `joined` keeps the folded lines that the groups view (a deque: its strings never move).
std::vector<LineGroup> UnfoldIntoGroups(std::string_view text, std::deque<std::string>* joined) {
  std::vector<LineGroup> groups(1);
  bool copied = false;  // the open line views a string of `joined`
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
      LogicalLine& openLine = groups.back().back();
      if (!copied) joined->emplace_back(openLine.text);
      copied = true;
      joined->back().append(physical.substr(1));
      openLine.text = joined->back();
    } else if (physical.empty()) {
      open = false;
      if (!groups.back().empty()) groups.emplace_back();
    } else {
      open = true;
      copied = false;
      groups.back().push_back({physical, number});
    }
  }
  // Comments may be folded too, so they are dropped only now.
  for (LineGroup& group : groups)
    group.erase(std::remove_if(group.begin(), group.end(),
                               [](const LogicalLine& line) { return line.text.front() == '#'; }),
                group.end());
  return groups;
}

bool IsAttributeNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         c == '-' || c == ';' || c == '.';
}

// "%20" and the like; a "%" without two hex digits stays as it is.
std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool escape = text[i] == '%' && i + 2 < text.size() &&
                        HexDigitValue(text[i + 1]) >= 0 && HexDigitValue(text[i + 2]) >= 0;
    if (!escape) {
      out.push_back(text[i]);
      continue;
    }
    out.push_back(static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2])));
    i += 2;
  }
  return out;
}

std::string FolderOf(const std::string& fileName) {
  const std::size_t slash = fileName.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

// The local file a file: URL names: "file:///C:/x/y.jpg" and "file:///srv/y.jpg" as they
// stand, "file:y.jpg" and "file:sub/y.jpg" beside the LDIF file. Other machines' files and
// other schemes are refused: the program reads nothing from the network at start-up.
std::string UrlValueFile(const LogicalLine& line, std::string_view url,
                         const std::string& fileName) {
  const auto refused = [&](const std::string& why) {
    return LdifError(line.line, "the value's URL \"" + Cut(url, 60) + "\" " + why);
  };
  constexpr std::string_view kFileScheme = "file:";
  if (!StartsWithIgnoreCase(url, kFileScheme))
    throw refused("is not a file: URL; only file: URLs are read");
  std::string_view path = url.substr(kFileScheme.size());
  if (path.substr(0, 2) == "//") {
    path.remove_prefix(2);
    const std::size_t slash = path.find('/');
    const std::string_view host = path.substr(0, slash);
    if (!host.empty() && !EqualsIgnoreCase(host, "localhost"))
      throw refused("names a file of another machine");
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash);
  }
  if (path.empty()) throw refused("names no file");
  if (path.front() != '/') return FolderOf(fileName) + PercentDecoded(path);
  // "/C:/dir" is a drive path.
  if (path.size() >= 3 && path[2] == ':') path.remove_prefix(1);
  return PercentDecoded(path);
}

LdifAttribute ParseAttributeLine(const LogicalLine& line, const std::string& fileName) {
  const std::string_view text = line.text;
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos)
    throw LdifError(line.line, "the line \"" + Cut(text, 60) +
                                   "\" has no \":\" between an attribute name and its value");
  LdifAttribute attribute;
  attribute.type = std::string(text.substr(0, colon));
  attribute.line = line.line;
  bool validName = !attribute.type.empty() && attribute.type.front() != '-' &&
                   attribute.type.front() != ';';
  for (char c : attribute.type) validName = validName && IsAttributeNameChar(c);
  if (!validName)
    throw LdifError(line.line, "\"" + Cut(attribute.type, 60) + "\" is not an attribute name");

  std::size_t valueStart = colon + 1;
  const char form = valueStart < text.size() ? text[valueStart] : '\0';
  if (form == ':' || form == '<') ++valueStart;
  while (valueStart < text.size() && text[valueStart] == ' ') ++valueStart;
  const std::string_view value = text.substr(std::min(valueStart, text.size()));
  if (form == '<') {
    std::string_view url = value;
    while (!url.empty() && url.back() == ' ') url.remove_suffix(1);
    attribute.valueFile = UrlValueFile(line, url, fileName);
    return attribute;
  }
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

LdifRecord ParseRecord(const LineGroup& group, std::size_t first, const std::string& fileName) {
  LdifRecord record;
  const LdifAttribute dn = ParseAttributeLine(group[first], fileName);
  if (!EqualsIgnoreCase(dn.type, "dn"))
    throw LdifError(dn.line, "a record must begin with \"dn:\", not \"" + dn.type + ":\"");
  if (!dn.valueFile.empty())
    throw LdifError(dn.line, "a DN cannot be given by URL");
  record.dn = dn.value;
  record.line = dn.line;
  for (std::size_t i = first + 1; i < group.size(); ++i) {
    LdifAttribute attribute = ParseAttributeLine(group[i], fileName);
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
std::size_t SkipVersionLine(const LineGroup& group, const std::string& fileName) {
  const LdifAttribute first = ParseAttributeLine(group.front(), fileName);
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
    std::deque<std::string> joined;
    const std::vector<LineGroup> groups = UnfoldIntoGroups(text, &joined);
    bool firstRecord = true;
    for (const LineGroup& group : groups) {
      if (group.empty()) continue;
      const std::size_t first = firstRecord ? SkipVersionLine(group, fileName) : 0;
      firstRecord = false;
      if (first < group.size()) content.records.push_back(ParseRecord(group, first, fileName));
    }
  } catch (const LdifError& error) {
    content.ok = false;
    content.problem = {fileName, error.line, error.what};
  }
  return content;
}

bool ReadAttributeValue(const LdifAttribute& attribute, const std::string& fileName,
                        std::string* value, LdifProblem* problem) {
  if (attribute.valueFile.empty()) {
    *value = attribute.value;
    return true;
  }
  std::ifstream in(attribute.valueFile, std::ios::binary);
  std::string bytes;
  const bool opened = static_cast<bool>(in);
  if (opened) bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (!opened || in.bad()) {
    *problem = {fileName, attribute.line,
                "the file \"" + attribute.valueFile + "\" of the value of \"" + attribute.type +
                    "\" cannot be read"};
    return false;
  }
  *value = std::move(bytes);
  return true;
}

LdifContent ReadLdifFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Unreadable(path, "the directory file cannot be opened");
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return Unreadable(path, "the directory file cannot be read");
  return ParseLdif(text, path);
}

}  // namespace zeb
