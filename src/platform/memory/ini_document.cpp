#include "platform/memory/ini_document.h"

#include <algorithm>

#include "platform/code_page_1252.h"
#include "platform/unicode.h"

namespace zeb {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool IsBlank(char16_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20; }

std::u16string_view TrimStart(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

std::u16string_view TrimEnd(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::u16string_view Trim(std::u16string_view text) { return TrimEnd(TrimStart(text)); }

// Names and values are C strings inside Windows: a zero ends them.
std::u16string UpToZero(std::u16string_view text) {
  return std::u16string(text.substr(0, text.find(u'\0')));
}

char16_t FoldAscii(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 0x20) : c; }

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

std::u16string FoldedAscii(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& c : folded) c = FoldAscii(c);
  return folded;
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view bytes) {
  IniDocument document;
  std::u16string text;
  if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
    document.encoding_ = Encoding::kUtf8;
    text = Utf8ToWide(bytes.substr(kUtf8Mark.size()));
  } else if (bytes.substr(0, 2) == kUtf16LeMark || bytes.substr(0, 2) == kUtf16BeMark) {
    const bool bigEndian = bytes.substr(0, 2) == kUtf16BeMark;
    document.encoding_ = bigEndian ? Encoding::kUtf16Be : Encoding::kUtf16Le;
    text = Utf16BytesToWide(bytes.substr(2), bigEndian);
  } else {
    text = AnsiToWide(bytes);
  }
  document.sections_.emplace_back();
  std::u16string_view rest = text;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find_first_of(u"\r\n"), rest.size());
    document.AddLine(Trim(rest.substr(0, end)));
    rest.remove_prefix(end);
    while (!rest.empty() && (rest.front() == u'\r' || rest.front() == u'\n')) rest.remove_prefix(1);
  }
  return document;
}

void IniDocument::AddLine(std::u16string_view line) {
  if (line.empty()) return;
  if (line.front() == u'[') {
    const std::size_t close = line.rfind(u']');
    if (close != std::u16string_view::npos && close > 0) {
      sections_.push_back({UpToZero(Trim(line.substr(1, close - 1))), {}, {}});
      SectionsChanged();
      return;
    }
  }
  Entry entry;
  std::u16string_view name = line;
  const std::size_t equals = line.find(u'=');
  if (equals != std::u16string_view::npos) {
    name = TrimEnd(line.substr(0, equals));
    entry.value = UpToZero(TrimStart(line.substr(equals + 1)));
  }
  entry.name = UpToZero(name);
  // Windows keeps only the first of consecutive entries without a name.
  Section& section = sections_.back();
  if (name.empty() && !section.entries.empty() && section.entries.back().name.empty()) return;
  section.entries.push_back(std::move(entry));
  section.entryIndex.clear();
}

std::string IniDocument::Serialize() const {
  std::u16string text;
  for (const Section& section : sections_) {
    if (!section.name.empty()) text += u"[" + section.name + u"]\r\n";
    for (const Entry& entry : section.entries) {
      text += entry.name;
      if (entry.value) text += u"=" + *entry.value;
      text += u"\r\n";
    }
  }
  switch (encoding_) {
    case Encoding::kUtf8:
      return std::string(kUtf8Mark) + WideToUtf8(text);
    case Encoding::kUtf16Le:
      return std::string(kUtf16LeMark) + WideToUtf16Bytes(text, false);
    case Encoding::kUtf16Be:
      return std::string(kUtf16BeMark) + WideToUtf16Bytes(text, true);
    case Encoding::kAnsi:
      break;
  }
  return WideToAnsi(text);
}

std::u16string IniDocument::SectionNames() const {
  std::u16string list;
  for (const Section& section : sections_)
    if (!section.name.empty()) list += section.name + u'\0';
  return list;
}

std::optional<std::u16string> IniDocument::KeyNames(std::u16string_view section) const {
  const Section* found = FindSection(section);
  if (!found) return std::nullopt;
  std::u16string list;
  for (const Entry& entry : found->entries)
    if (entry.value && (entry.name.empty() || entry.name.front() != u';')) list += entry.name + u'\0';
  return list;
}

IniDocument::Section* IniDocument::FindSection(std::u16string_view name) {
  if (sectionIndex_.empty())
    for (std::size_t i = 0; i < sections_.size(); ++i)
      sectionIndex_.emplace(FoldedAscii(sections_[i].name), i);  // keeps the first of a name
  const auto found = sectionIndex_.find(FoldedAscii(name));
  return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

const IniDocument::Section* IniDocument::FindSection(std::u16string_view name) const {
  return const_cast<IniDocument*>(this)->FindSection(name);
}

std::size_t IniDocument::FindEntry(const Section& section, std::u16string_view name) {
  if (section.entryIndex.empty())
    for (std::size_t i = 0; i < section.entries.size(); ++i)
      section.entryIndex.emplace(FoldedAscii(section.entries[i].name), i);
  const auto found = section.entryIndex.find(FoldedAscii(name));
  return found == section.entryIndex.end() ? kNoEntry : found->second;
}

const std::u16string* IniDocument::Value(std::u16string_view section, std::u16string_view key) const {
  const Section* found = FindSection(Trim(section));
  if (!found) return nullptr;
  const std::size_t entry = FindEntry(*found, Trim(key));
  if (entry == kNoEntry) return nullptr;
  const std::optional<std::u16string>& value = found->entries[entry].value;
  return value ? &*value : nullptr;
}

// A new section or entry keeps the blanks after its name until the file is read again,
// as under Windows; only leading blanks of the names and the value are dropped.
bool IniDocument::Set(std::u16string_view section, std::u16string_view key,
                      std::u16string_view value) {
  const std::u16string newValue = UpToZero(TrimStart(value));
  Section* target = FindSection(Trim(section));
  if (!target) {
    sections_.push_back({UpToZero(TrimStart(section)), {}, {}});
    SectionsChanged();
    target = &sections_.back();
  }
  const std::size_t entry = FindEntry(*target, Trim(key));
  if (entry != kNoEntry) {
    std::optional<std::u16string>& old = target->entries[entry].value;
    if (old == newValue) return false;
    old = newValue;
    return true;
  }
  target->entries.push_back({UpToZero(TrimStart(key)), newValue});
  target->entryIndex.clear();
  return true;
}

// Unlike a lookup, deleting takes the names as given, and looks on through later sections
// of the same name when the first one lacks the entry.
bool IniDocument::DeleteKey(std::u16string_view section, std::u16string_view key) {
  for (Section& candidate : sections_) {
    if (!EqualIgnoringAsciiCase(candidate.name, section)) continue;
    const auto entry = std::find_if(candidate.entries.begin(), candidate.entries.end(),
                                    [&](const Entry& e) { return EqualIgnoringAsciiCase(e.name, key); });
    if (entry != candidate.entries.end()) {
      candidate.entries.erase(entry);
      candidate.entryIndex.clear();
      return true;
    }
  }
  return false;
}

bool IniDocument::DeleteSection(std::u16string_view section) {
  const Section* found = FindSection(section);
  if (!found) return false;
  sections_.erase(sections_.begin() + (found - sections_.data()));
  SectionsChanged();
  return true;
}

}  // namespace zeb
