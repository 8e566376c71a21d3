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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  zeb::IniDocument document = zeb::IniDocument::Parse(bytes);
  const std::string written = document.Serialize();
  const std::string rewritten = zeb::IniDocument::Parse(written).Serialize();
  // A zero ends a name inside Windows, so a line or section whose name begins with one
  // loses it on the first writing; from then on the text stays as it is.
  // And an ANSI text whose first line begins with the bytes of a byte-order mark reads as
  // that encoding when it is read again, as it would under Windows.
  const auto marked = [](std::string_view text) {
    return text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF" ||
           text.substr(0, 3) == "\xEF\xBB\xBF";
  };
  if ((marked(written) || marked(rewritten)) && !marked(bytes)) {
    // nothing to compare
  } else if (bytes.find('\0') == std::string_view::npos)
    FUZZ_CHECK(rewritten == written);
  else
    FUZZ_CHECK(zeb::IniDocument::Parse(rewritten).Serialize() == rewritten);

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
