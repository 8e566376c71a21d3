#include "platform/memory/reg_text.h"

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "platform/code_page_1252.h"
#include "platform/text.h"
#include "platform/unicode.h"

namespace zeb {
namespace {

constexpr std::string_view kVersion4 = "REGEDIT4";
constexpr std::string_view kVersion5 = "Windows Registry Editor Version 5.00";

struct RootName {
  std::string_view longName;
  std::string_view shortName;
  RegKey key;
};
constexpr RootName kRoots[] = {
    {"HKEY_CLASSES_ROOT", "HKCR", hkey::kClassesRoot},
    {"HKEY_CURRENT_USER", "HKCU", hkey::kCurrentUser},
    {"HKEY_LOCAL_MACHINE", "HKLM", hkey::kLocalMachine},
    {"HKEY_USERS", "HKU", hkey::kUsers},
    {"HKEY_CURRENT_CONFIG", "HKCC", hkey::kCurrentConfig},
};

struct Section {
  RegKey root = 0;
  std::string path;
  bool deleted = false;
};

[[noreturn]] void Malformed(std::size_t line, const std::string& why) {
  throw std::runtime_error("Malformed registry text at line " + std::to_string(line) + ": " + why);
}

std::string Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return "";
  return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// UTF-16 little-endian text as the A functions see it, through the code page.
std::string FromUtf16(std::string_view bytes) { return WideToAnsi(Utf16BytesToWide(bytes, false)); }

// regedit writes version 5 files in UTF-16; text given that way is read through the code page.
std::string CodePageText(const std::string& text) {
  if (text.compare(0, 2, "\xFF\xFE") == 0) return FromUtf16(std::string_view(text).substr(2));
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) return text.substr(3);
  return text;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

Section ParseSection(const std::string& line, std::size_t number) {
  if (line.back() != ']') Malformed(number, "a key line must end with ']'");
  std::string inner = line.substr(1, line.size() - 2);
  Section section;
  section.deleted = !inner.empty() && inner[0] == '-';
  if (section.deleted) inner.erase(0, 1);
  const std::size_t slash = inner.find('\\');
  const std::string rootName = inner.substr(0, slash);
  for (const RootName& root : kRoots)
    if (EqualsIgnoreCase(rootName, root.longName) || EqualsIgnoreCase(rootName, root.shortName))
      section.root = root.key;
  if (section.root == 0) Malformed(number, "unknown root key '" + rootName + "'");
  if (slash != std::string::npos) section.path = inner.substr(slash + 1);
  if (!section.path.empty() && section.path[0] == '\\')
    Malformed(number, "a key name cannot be empty");
  if (section.deleted && section.path.empty()) Malformed(number, "a root key cannot be deleted");
  return section;
}

// A quoted text starting at `*pos`, with the escapes \\ and \"; leaves `*pos` after the quote.
std::string ReadQuoted(const std::string& line, std::size_t* pos, std::size_t number) {
  std::string text;
  for (std::size_t i = *pos + 1; i < line.size(); ++i) {
    if (line[i] == '"') {
      *pos = i + 1;
      return text;
    }
    if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '\\' || line[i + 1] == '"')) ++i;
    text.push_back(line[i]);
  }
  Malformed(number, "text without its closing quote");
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char upper = UpperAscii(c);
  return upper >= 'A' && upper <= 'F' ? upper - 'A' + 10 : -1;
}

// 1 to `maxDigits` hex digits, nothing else.
std::optional<std::uint32_t> ParseHex(const std::string& text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  std::uint32_t number = 0;
  for (const char c : text) {
    if (HexDigit(c) < 0) return std::nullopt;
    number = number << 4 | static_cast<std::uint32_t>(HexDigit(c));
  }
  return number;
}

std::vector<std::uint8_t> ParseHexBytes(const std::string& list, std::size_t number) {
  std::vector<std::uint8_t> bytes;
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    const std::string item = Trim(std::string_view(list).substr(start, end - start));
    const bool trailingComma = item.empty() && end == list.size();
    const auto byte = ParseHex(item, 2);
    if (!byte && !trailingComma) Malformed(number, "'" + item + "' is not a hex byte");
    if (byte) bytes.push_back(static_cast<std::uint8_t>(*byte));
    start = end + 1;
  }
  return bytes;
}

bool IsTextType(std::uint32_t type) {
  return type == regtype::kString || type == regtype::kExpandString ||
         type == regtype::kMultiString;
}

// "hex:..." or "hex(N):..."; version 5 files hold text types as UTF-16.
RegValue ParseHexValue(const std::string& data, bool wideText, std::size_t number) {
  RegValue value;
  value.type = regtype::kBinary;
  std::size_t colon = 3;
  if (data.compare(0, 4, "hex(") == 0) {
    const std::size_t close = data.find(')');
    const auto type =
        close == std::string::npos ? std::nullopt : ParseHex(data.substr(4, close - 4), 8);
    if (!type) Malformed(number, "hex(N) needs a hex type number");
    value.type = *type;
    colon = close + 1;
  }
  if (colon >= data.size() || data[colon] != ':') Malformed(number, "expected ':' after hex");
  value.data = ParseHexBytes(data.substr(colon + 1), number);
  if (wideText && IsTextType(value.type)) {
    if (value.data.size() % 2 != 0) Malformed(number, "UTF-16 text with an odd number of bytes");
    const std::string text = FromUtf16(std::string(value.data.begin(), value.data.end()));
    value.data.assign(text.begin(), text.end());
  }
  return value;
}

RegTextEdit ParseValueLine(const std::string& line, bool wideText, std::size_t number) {
  RegTextEdit edit;
  edit.action = RegTextEdit::Action::kSetValue;
  if (line.empty()) Malformed(number, "a continued line with nothing on it");
  std::size_t pos = 0;
  if (line[0] == '"')
    edit.value.name = ReadQuoted(line, &pos, number);
  else if (line[0] == '@')
    pos = 1;
  else
    Malformed(number, "expected \"name\"=, @= or a [key]");
  const std::string rest = Trim(std::string_view(line).substr(pos));
  if (rest.empty() || rest[0] != '=') Malformed(number, "expected '=' after the value name");
  const std::string data = Trim(std::string_view(rest).substr(1));
  if (data == "-") {
    edit.action = RegTextEdit::Action::kDeleteValue;
  } else if (!data.empty() && data[0] == '"') {
    std::size_t end = 0;
    const std::string text = ReadQuoted(data, &end, number);
    if (end != data.size()) Malformed(number, "text after the closing quote");
    edit.value.type = regtype::kString;
    edit.value.data.assign(text.begin(), text.end());
    edit.value.data.push_back(0);
  } else if (data.compare(0, 6, "dword:") == 0) {
    const auto dword = ParseHex(data.substr(6), 8);
    if (!dword) Malformed(number, "dword: needs 1 to 8 hex digits");
    edit.value.type = regtype::kDword;
    for (int shift = 0; shift < 32; shift += 8)
      edit.value.data.push_back(static_cast<std::uint8_t>(*dword >> shift));
  } else if (data.compare(0, 3, "hex") == 0) {
    const std::string name = edit.value.name;
    edit.value = ParseHexValue(data, wideText, number);
    edit.value.name = name;
  } else {
    Malformed(number, "unknown value data '" + data + "'");
  }
  return edit;
}

}  // namespace

std::vector<RegTextEdit> ParseRegText(const std::string& input) {
  const std::vector<std::string> lines = SplitLines(CodePageText(input));
  std::size_t i = 0;
  while (i < lines.size() && Trim(lines[i]).empty()) ++i;
  const std::string header = i < lines.size() ? Trim(lines[i]) : "";
  if (header != kVersion4 && header != kVersion5)
    Malformed(i + 1, "expected the header REGEDIT4 or Windows Registry Editor Version 5.00");
  const bool wideText = header == kVersion5;

  std::vector<RegTextEdit> edits;
  std::optional<Section> section;
  for (++i; i < lines.size(); ++i) {
    const std::size_t number = i + 1;
    std::string line = Trim(lines[i]);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      section = ParseSection(line, number);
      RegTextEdit edit;
      edit.action =
          section->deleted ? RegTextEdit::Action::kDeleteKey : RegTextEdit::Action::kCreateKey;
      edit.root = section->root;
      edit.path = section->path;
      edits.push_back(std::move(edit));
      continue;
    }
    while (!line.empty() && line.back() == '\\' && i + 1 < lines.size()) {  // hex data continued
      line.pop_back();
      line += Trim(lines[++i]);
    }
    if (!section) Malformed(number, "a value before the first [key]");
    RegTextEdit edit = ParseValueLine(line, wideText, number);
    if (section->deleted) continue;  // regedit ignores values of a key it has just deleted
    edit.root = section->root;
    edit.path = section->path;
    edits.push_back(std::move(edit));
  }
  return edits;
}

namespace {

std::string RootText(RegKey root) {
  for (const RootName& name : kRoots)
    if (name.key == root) return std::string(name.longName);
  throw std::invalid_argument("no .reg name for the root key " + std::to_string(root));
}

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') quoted.push_back('\\');
    quoted.push_back(c);
  }
  return quoted + "\"";
}

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) text.push_back(',');
    text.push_back(kDigits[bytes[i] >> 4]);
    text.push_back(kDigits[bytes[i] & 0xF]);
  }
  return text;
}

}  // namespace

std::string FormatRegText(RegKey root, const std::vector<RegTextKey>& keys) {
  const std::string rootText = RootText(root);
  std::string text = std::string(kVersion4) + "\r\n";
  for (const RegTextKey& key : keys) {
    text += "\r\n[" + rootText + (key.path.empty() ? "" : "\\" + key.path) + "]\r\n";
    for (const RegValue& value : key.values) {
      char type[16];
      std::snprintf(type, sizeof type, "hex(%x):", static_cast<unsigned>(value.type));
      text += (value.name.empty() ? std::string("@") : Quoted(value.name)) + "=" + type +
              HexBytes(value.data) + "\r\n";
    }
  }
  return text;
}

}  // namespace zeb
