#pragma once
// An INI file as the Windows profile functions hold it, read and written back the way they
// do (checked against Wine): lines end at CR or LF; blanks (tab to CR, ^Z, space) around a
// line, a section name and the "=" are dropped; a "[" line needs a "]" (the last one ends
// the name) or it is an entry; an entry without "=" has no value; ";" lines are entries
// that the key list leaves out. Lines before the first section form a nameless section.
// Blank lines are not kept; everything else is, in order, written back as "[name]" and
// "name=value" lines ending in CR LF. Names compare ignoring the case of ASCII letters only.
// A UTF-8 or UTF-16 byte-order mark selects that encoding (kept on writing), else the ANSI
// code page.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zeb {

class IniDocument {
 public:
  static IniDocument Parse(std::string_view bytes);
  std::string Serialize() const;

  // Names followed by a zero each, as the profile functions list them.
  std::u16string SectionNames() const;  // named sections, duplicates included
  // Entries with a value in the first section of that name; none when there is no such
  // section.
  std::optional<std::u16string> KeyNames(std::u16string_view section) const;
  // The value in the first section of that name; blanks around the names are ignored.
  // Null for a missing entry or one without "=".
  const std::u16string* Value(std::u16string_view section, std::u16string_view key) const;

  // Each returns whether the document changed.
  bool Set(std::u16string_view section, std::u16string_view key, std::u16string_view value);
  bool DeleteKey(std::u16string_view section, std::u16string_view key);
  bool DeleteSection(std::u16string_view section);

 private:
  enum class Encoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };
  struct Entry {
    std::u16string name;
    std::optional<std::u16string> value;
  };
  struct Section {
    std::u16string name;
    std::vector<Entry> entries;
    // The first entry of each name, as sectionIndex_ holds sections; empty until needed.
    mutable std::unordered_map<std::u16string, std::size_t> entryIndex;
  };

  void AddLine(std::u16string_view line);
  // The first section of that name (ASCII letters compare without case), or null.
  Section* FindSection(std::u16string_view name);
  const Section* FindSection(std::u16string_view name) const;
  // A change to the list of sections: the index is made again when next needed.
  void SectionsChanged() { sectionIndex_.clear(); }
  // Where the section's first entry of that name is, or kNoEntry.
  static constexpr std::size_t kNoEntry = static_cast<std::size_t>(-1);
  static std::size_t FindEntry(const Section& section, std::u16string_view name);

  Encoding encoding_ = Encoding::kAnsi;
  std::vector<Section> sections_;
  // The first section of each name, by the name with ASCII letters upper-cased: a scan asks
  // for a section once per value, and a file may have thousands of them.
  mutable std::unordered_map<std::u16string, std::size_t> sectionIndex_;
};

}  // namespace zeb
