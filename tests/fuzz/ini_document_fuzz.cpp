// The memory backend's INI reader: any bytes parse; what it writes back parses to the same
// document; every listed key has its value; a value set is read back.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/memory/ini_document.h"

namespace {

// The names of a zero-separated list.
std::vector<std::u16string> Names(const std::u16string& list) {
  std::vector<std::u16string> names;
  std::size_t start = 0;
  for (std::size_t end = list.find(u'\0'); end != std::u16string::npos;
       start = end + 1, end = list.find(u'\0', start))
    names.push_back(list.substr(start, end - start));
  FUZZ_CHECK(start == list.size());  // every name ends in a zero
  return names;
}

// A line "[" blanks "]" (text may follow the last "]"), which names a section "".
bool NamesASectionByBlanks(std::string_view bytes) {
  const auto blank = [](char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' '; };
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    while (!line.empty() && blank(line.front())) line.remove_prefix(1);
    const std::size_t close = line.rfind(']');
    if (!line.empty() && line.front() == '[' && close != std::string_view::npos && close > 0) {
      bool blanks = true;
      for (char c : line.substr(1, close - 1)) blanks = blanks && blank(c);
      if (blanks) return true;
    }
    start = end + 1;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  zeb::IniDocument document = zeb::IniDocument::Parse(bytes);
  const std::string written = document.Serialize();
  const std::string rewritten = zeb::IniDocument::Parse(written).Serialize();
  // Writing back is the same text again, except where a name is lost on the first writing:
  // a zero ends a name inside Windows, and a section named by blanks alone ("[ ]") is
  // written without its line, as Wine does, so that its entries join the section before.
  // From then on the text stays as it is. An ANSI text whose first line begins with the
  // bytes of a byte-order mark reads as that encoding when it is read again, as under
  // Windows: nothing to compare then.
  const auto marked = [](std::string_view text) {
    return text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF" ||
           text.substr(0, 3) == "\xEF\xBB\xBF";
  };
  if (!((marked(written) || marked(rewritten)) && !marked(bytes))) {
    if (bytes.find('\0') == std::string_view::npos && !NamesASectionByBlanks(bytes))
      FUZZ_CHECK(rewritten == written);
    FUZZ_CHECK(zeb::IniDocument::Parse(rewritten).Serialize() == rewritten);
  }

  for (const std::u16string& section : Names(document.SectionNames())) {
    const std::optional<std::u16string> keys = document.KeyNames(section);
    FUZZ_CHECK(keys.has_value());
    // Listed keys have a value, but an earlier line of the same name without "=" hides it.
    for (const std::u16string& key : Names(*keys)) document.Value(section, key);
  }

  // A value set from the input's own first bytes is what comes back, and survives a write.
  FuzzedDataProvider input(data, size);
  const std::string s = input.ConsumeRandomLengthString(8);
  const std::string k = input.ConsumeRandomLengthString(8);
  const std::string v = input.ConsumeRandomLengthString(16);
  const auto plain = [](const std::string& text, bool name) {
    for (char c : text) {
      const unsigned char u = static_cast<unsigned char>(c);
      if (u < 0x20 || u > 0x7e || (name && (c == '=' || c == '[' || c == ']' || c == ';')))
        return false;
    }
    return !text.empty() && text.front() != ' ' && text.back() != ' ';
  };
  if (plain(s, true) && plain(k, true) && plain(v, false)) {
    const std::u16string section(s.begin(), s.end());
    const std::u16string key(k.begin(), k.end());
    const std::u16string value(v.begin(), v.end());
    document.Set(section, key, value);
    const std::u16string* read = document.Value(section, key);
    FUZZ_CHECK(read && *read == value);
    const zeb::IniDocument reread = zeb::IniDocument::Parse(document.Serialize());
    const std::u16string* kept = reread.Value(section, key);
    FUZZ_CHECK(kept && *kept == value);
  }
  return 0;
}
