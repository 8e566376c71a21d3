#pragma once
// The tokens of a journal line: bare words, quoted text and hex-encoded bytes, separated by
// single spaces. Text is the program's ANSI bytes shown as UTF-8, so that a person reads
// names and paths as they are; control characters and the code page's undefined bytes are
// escaped (\xHH), as are '"' and '\'. Every byte string comes back exactly as it went in.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeb {

std::string QuoteText(std::string_view ansi);
std::string HexBytes(std::string_view bytes);  // "hex:" and two lower-case digits a byte
std::string HexBytes(const std::vector<std::uint8_t>& bytes);
std::string HexDigits(std::string_view bytes);  // without the "hex:"

enum class TokenKind { kWord, kText, kBytes };

struct JournalToken {
  TokenKind kind = TokenKind::kWord;
  std::string value;  // the word, or the decoded text or bytes
};

// Splits a line into tokens. Nothing, with `error` set, when the line is not made of
// well-formed tokens (an unclosed quote, a bad escape, odd hex, two spaces ...).
std::optional<std::vector<JournalToken>> SplitTokens(std::string_view line, std::string* error);

// Strict lower- or upper-case hex pairs; false for anything else.
bool DecodeHexDigits(std::string_view digits, std::string* bytes);

}  // namespace zeb
