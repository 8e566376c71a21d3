#include "platform/memory/memory_profiles.h"

#include "platform/code_page_1252.h"
#include "platform/memory/ini_document.h"

namespace zeb {
namespace {

// The byte-string functions take C strings.
std::u16string Wide(const std::string& text) { return AnsiToWide(text.substr(0, text.find('\0'))); }

// A zero-separated list in a buffer of `size` characters: when it does not fit with its
// final zero, the first size - 2 characters, so that the last name is cut.
std::u16string FitList(const std::u16string& list, std::size_t size) {
  if (size < 2) return {};
  return list.size() <= size - 2 ? list : list.substr(0, size - 2);
}

// One value in a buffer of `size` characters. One pair of matching outer quotes is taken
// off, but only the closing quote that lands in the buffer: a quoted value exactly one
// character too long loses its last character instead.
std::u16string FitValue(std::u16string_view value, std::size_t size) {
  if (size == 0) return {};
  bool quoted = false;
  if (value.size() > 1 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::u16string out(value.substr(0, size - 1));
  if (quoted && size >= value.size() && !out.empty()) out.pop_back();
  return out;
}

std::u16string WithoutTrailingSpaces(std::u16string text) {
  while (!text.empty() && text.back() == u' ') text.pop_back();
  return text;
}

// The file as the profile functions see it: a missing file is an empty one; nothing when
// it exists but cannot be read.
std::optional<IniDocument> Open(const MemoryFileSystem& files, const std::string& file) {
  if (const std::optional<std::string> bytes = files.ReadFile(file)) return IniDocument::Parse(*bytes);
  if (files.Exists(file)) return std::nullopt;
  return IniDocument::Parse("");
}

}  // namespace

std::string MemoryProfiles::GetString(const std::optional<std::string>& section,
                                      const std::optional<std::string>& key,
                                      const std::string& defaultValue, std::size_t bufferSize,
                                      const std::string& file) {
  if (bufferSize == 0) return {};
  const std::optional<IniDocument> document = Open(files_, file);
  if (!section) return document ? WideToAnsi(FitList(document->SectionNames(), bufferSize)) : "";
  if (!key) {
    std::u16string list;
    if (document)
      if (const auto names = document->KeyNames(Wide(*section))) list = FitList(*names, bufferSize);
    if (list.empty() || list.front() == u'\0') list = FitValue(Wide(defaultValue), bufferSize);
    return WideToAnsi(list);
  }
  const std::u16string fallback = WithoutTrailingSpaces(Wide(defaultValue));
  if (!document) return WideToAnsi(fallback.substr(0, bufferSize - 1));
  const std::u16string* value = document->Value(Wide(*section), Wide(*key));
  return WideToAnsi(FitValue(value ? *value : fallback, bufferSize));
}

bool MemoryProfiles::WriteString(const std::string& section, const std::optional<std::string>& key,
                                 const std::optional<std::string>& value, const std::string& file) {
  files_.SpendWrite();
  // Windows opens the file for writing first, so an unwritable file fails even when
  // nothing would change.
  if (!files_.IsWritable(file)) return false;
  std::optional<IniDocument> document = Open(files_, file);
  if (!document) return false;
  bool changed;
  if (!key)
    changed = document->DeleteSection(Wide(section));
  else if (!value)
    changed = document->DeleteKey(Wide(section), Wide(*key));
  else
    changed = document->Set(Wide(section), Wide(*key), Wide(*value));
  return !changed || files_.StoreFile(file, document->Serialize());
}

}  // namespace zeb
