#include "changes/journal_text.h"

#include <map>

#include "platform/code_page_1252.h"

namespace zeb {
namespace {

constexpr char kDigits[] = "0123456789abcdef";
constexpr std::string_view kHexPrefix = "hex:";

bool IsUndefinedInCodePage(unsigned char c) {
  return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

bool NeedsEscape(unsigned char c) {
  return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0 && IsUndefinedInCodePage(c));
}

// The UTF-8 form of each high byte the code page defines, and back.
const std::map<std::string, char>& Utf8ToAnsiTable() {
  static const std::map<std::string, char> table = [] {
    std::map<std::string, char> t;
    for (int c = 0x80; c <= 0xFF; ++c) {
      if (IsUndefinedInCodePage(static_cast<unsigned char>(c))) continue;
      const std::string one(1, static_cast<char>(c));
      t[AnsiToUtf8(one)] = static_cast<char>(c);
    }
    return t;
  }();
  return table;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsWordChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         c == '_' || c == '-' || c == ':' || c == '.';
}

std::size_t Utf8Length(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Reads a quoted text from just after its opening quote; `pos` ends after the closing one.
bool ReadText(std::string_view line, std::size_t* pos, std::string* out, std::string* error) {
  std::size_t i = *pos;
  while (i < line.size()) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if (c == '"') {
      *pos = i + 1;
      return true;
    }
    if (c == '\\') {
      if (i + 1 >= line.size()) break;
      const char next = line[i + 1];
      if (next == '\\' || next == '"') {
        *out += next;
        i += 2;
        continue;
      }
      int high = 0;
      int low = 0;
      if (next != 'x' || i + 3 >= line.size() || (high = HexValue(line[i + 2])) < 0 ||
          (low = HexValue(line[i + 3])) < 0) {
        *error = "a text holds an escape other than \\\\, \\\" or \\xHH";
        return false;
      }
      *out += static_cast<char>(high * 16 + low);
      i += 4;
      continue;
    }
    if (c < 0x80) {
      if (NeedsEscape(c)) {
        *error = "a text holds a control character that is not escaped";
        return false;
      }
      *out += static_cast<char>(c);
      ++i;
      continue;
    }
    const std::size_t length = Utf8Length(c);
    const auto& table = Utf8ToAnsiTable();
    const auto found = length && i + length <= line.size()
                           ? table.find(std::string(line.substr(i, length)))
                           : table.end();
    if (found == table.end()) {
      *error = "a text holds a character that is not valid UTF-8 or lies outside the "
               "ANSI code page";
      return false;
    }
    *out += found->second;
    i += length;
  }
  *error = "a text is not closed by '\"'";
  return false;
}

}  // namespace

std::string QuoteText(std::string_view ansi) {
  std::string out = "\"";
  for (const char ch : ansi) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (NeedsEscape(c)) {
      out += "\\x";
      out += kDigits[c >> 4];
      out += kDigits[c & 15];
    } else if (c < 0x80) {
      out += ch;
    } else {
      out += AnsiToUtf8(std::string_view(&ch, 1));
    }
  }
  return out + "\"";
}

std::string HexDigits(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char ch : bytes) {
    const unsigned char c = static_cast<unsigned char>(ch);
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

std::string HexBytes(std::string_view bytes) { return std::string(kHexPrefix) + HexDigits(bytes); }

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
  return HexBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool DecodeHexDigits(std::string_view digits, std::string* bytes) {
  if (digits.size() % 2) return false;
  bytes->clear();
  bytes->reserve(digits.size() / 2);
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    const int high = HexValue(digits[i]);
    const int low = HexValue(digits[i + 1]);
    if (high < 0 || low < 0) return false;
    *bytes += static_cast<char>(high * 16 + low);
  }
  return true;
}

std::optional<std::vector<JournalToken>> SplitTokens(std::string_view line, std::string* error) {
  std::vector<JournalToken> tokens;
  std::size_t pos = 0;
  while (pos < line.size()) {
    if (!tokens.empty()) {
      if (line[pos] != ' ') {
        *error = "tokens must be separated by one space";
        return std::nullopt;
      }
      if (++pos >= line.size()) {
        *error = "the line ends with a space";
        return std::nullopt;
      }
    }
    JournalToken token;
    if (line[pos] == '"') {
      token.kind = TokenKind::kText;
      ++pos;
      if (!ReadText(line, &pos, &token.value, error)) return std::nullopt;
    } else {
      const std::size_t start = pos;
      while (pos < line.size() && IsWordChar(line[pos])) ++pos;
      const std::string_view word = line.substr(start, pos - start);
      if (word.empty()) {
        *error = line[pos] == ' ' ? "tokens must be separated by one space"
                                  : "unexpected character '" + std::string(1, line[pos]) + "'";
        return std::nullopt;
      }
      if (word.substr(0, kHexPrefix.size()) == kHexPrefix) {
        token.kind = TokenKind::kBytes;
        if (!DecodeHexDigits(word.substr(kHexPrefix.size()), &token.value)) {
          *error = "bytes are not pairs of hex digits";
          return std::nullopt;
        }
      } else {
        token.value = std::string(word);
      }
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

}  // namespace zeb
