#include "changes/journal_format.h"

#include <algorithm>
#include <map>
#include <utility>

#include "changes/journal_text.h"
#include "platform/text.h"

namespace zeb {
namespace {

constexpr std::size_t kMacDigits = 64;
constexpr char kMagic[] = "zeb-journal";
constexpr char kDigestPrefix[] = "sha256:";

struct RootNameEntry {
  RegKey root;
  const char* name;
};
constexpr RootNameEntry kRoots[] = {
    {hkey::kClassesRoot, "HKEY_CLASSES_ROOT"},   {hkey::kCurrentUser, "HKEY_CURRENT_USER"},
    {hkey::kLocalMachine, "HKEY_LOCAL_MACHINE"}, {hkey::kUsers, "HKEY_USERS"},
    {hkey::kCurrentConfig, "HKEY_CURRENT_CONFIG"}, {hkey::kDynData, "HKEY_DYN_DATA"}};

struct TypeNameEntry {
  std::uint32_t type;
  const char* name;
};
constexpr TypeNameEntry kTypes[] = {
    {0, "REG_NONE"},   {1, "REG_SZ"},    {2, "REG_EXPAND_SZ"},       {3, "REG_BINARY"},
    {4, "REG_DWORD"},  {5, "REG_DWORD_BIG_ENDIAN"}, {6, "REG_LINK"}, {7, "REG_MULTI_SZ"},
    {8, "REG_RESOURCE_LIST"}, {9, "REG_FULL_RESOURCE_DESCRIPTOR"},
    {10, "REG_RESOURCE_REQUIREMENTS_LIST"}, {11, "REG_QWORD"}};

std::string TypeName(std::uint32_t type) {
  for (const TypeNameEntry& entry : kTypes)
    if (entry.type == type) return entry.name;
  return "type:" + std::to_string(type);
}

std::optional<std::uint32_t> TypeFromName(const std::string& word) {
  for (const TypeNameEntry& entry : kTypes)
    if (word == entry.name) return entry.type;
  if (word.rfind("type:", 0) != 0 || word.size() == 5 || word.size() > 15) return std::nullopt;
  std::uint64_t number = 0;
  for (const char c : word.substr(5)) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (number > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<std::uint32_t>(number);
}

// A string value shows as text when it is one zero-terminated text without other zeros.
std::string DataToken(std::uint32_t type, const std::vector<std::uint8_t>& data) {
  const bool stringType = type == regtype::kString || type == regtype::kExpandString;
  if (stringType && !data.empty() && data.back() == 0 &&
      std::find(data.begin(), data.end() - 1, 0) == data.end() - 1)
    return QuoteText(std::string_view(reinterpret_cast<const char*>(data.data()), data.size() - 1));
  return HexBytes(data);
}

std::string ValueImageTokens(std::uint32_t type, const std::vector<std::uint8_t>& data) {
  return TypeName(type) + " " + DataToken(type, data);
}

std::string ValueImageTokens(const RegistryValueImage& image) {
  return image.exists ? ValueImageTokens(image.type, image.data) : "absent";
}

std::string SortKey(const std::string& name) { return UpperAscii(name) + '\0' + name; }

// Subkeys and values in a fixed order, so that equal images give equal lines.
void KeyImageLines(const RegistryKeyImage& image, const std::string& relative,
                   std::vector<std::string>* lines) {
  std::vector<const RegValue*> values;
  for (const RegValue& value : image.values) values.push_back(&value);
  std::sort(values.begin(), values.end(), [](const RegValue* a, const RegValue* b) {
    return SortKey(a->name) < SortKey(b->name);
  });
  for (const RegValue* value : values)
    lines->push_back("keyvalue " + QuoteText(relative) + " " + QuoteText(value->name) + " " +
                     ValueImageTokens(value->type, value->data));
  std::vector<const RegistryKeyImage::SubKey*> subKeys;
  for (const auto& subKey : image.subKeys) subKeys.push_back(&subKey);
  std::sort(subKeys.begin(), subKeys.end(), [](const auto* a, const auto* b) {
    return SortKey(a->name) < SortKey(b->name);
  });
  for (const auto* subKey : subKeys) {
    const std::string path = relative.empty() ? subKey->name : relative + "\\" + subKey->name;
    lines->push_back("subkey " + QuoteText(path));
    KeyImageLines(subKey->image, path, lines);
  }
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

// `keyed` is the HMAC with its key taken in, copied for each line rather than made again.
Sha256Digest MacOf(const HmacSha256& keyed, const std::string& previousMac,
                   std::string_view body) {
  HmacSha256 mac = keyed;
  mac.Update(previousMac);
  mac.Update("\n");
  mac.Update(body);
  return mac.Finish();
}

std::string DigestHex(const Sha256Digest& digest) {
  return HexDigits(std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size()));
}

// ---- Reading --------------------------------------------------------------------------

struct ParseError {
  JournalProblemKind kind;
  int line;
  std::string what;
};

struct NumberedLine {
  int number = 0;
  std::string_view body;
  std::string_view mac;
  std::vector<JournalToken> tokens;
};

[[noreturn]] void Malformed(int line, std::string what) {
  throw ParseError{JournalProblemKind::kMalformed, line, std::move(what)};
}

bool IsLowerHex(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

class LineReader {
 public:
  explicit LineReader(const NumberedLine& line) : line_(line) {}

  const std::string& Word(const char* what) { return Next(TokenKind::kWord, what); }
  const std::string& Text(const char* what) { return Next(TokenKind::kText, what); }
  void Expect(const char* word) {
    if (Word(word) != word) Malformed(line_.number, std::string("expected '") + word + "'");
  }
  bool AtEnd() const { return index_ == line_.tokens.size(); }
  void End() {
    if (!AtEnd()) Malformed(line_.number, "more on the line than its record holds");
  }
  bool PeekIs(TokenKind kind) const {
    return !AtEnd() && line_.tokens[index_].kind == kind;
  }
  const JournalToken& Any(const char* what) {
    if (AtEnd()) Malformed(line_.number, std::string("the line ends before its ") + what);
    return line_.tokens[index_++];
  }

  int Id() {
    const std::string& word = Word("number");
    if (word.empty() || word.size() > 9 || word[0] == '0' ||
        !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
      Malformed(line_.number, "'" + word + "' is not a record number");
    return std::stoi(word);
  }

  RegKey Root() {
    const std::string& word = Word("root key");
    for (const RootNameEntry& entry : kRoots)
      if (word == entry.name) return entry.root;
    Malformed(line_.number, "'" + word + "' is not a root key");
  }

  // `absent`, or a type and its data.
  RegistryValueImage ValueImage(bool absentAllowed) {
    RegistryValueImage image;
    const std::string& word = Word("value type");
    if (word == "absent") {
      if (!absentAllowed) Malformed(line_.number, "a key's value cannot be absent");
      return image;
    }
    const auto type = TypeFromName(word);
    if (!type) Malformed(line_.number, "'" + word + "' is not a value type");
    const JournalToken& data = Any("value data");
    if (data.kind == TokenKind::kWord) Malformed(line_.number, "value data is text or hex:");
    if (data.kind == TokenKind::kText &&
        *type != regtype::kString && *type != regtype::kExpandString)
      Malformed(line_.number, "only REG_SZ and REG_EXPAND_SZ data may be written as text");
    image.exists = true;
    image.type = *type;
    image.data.assign(data.value.begin(), data.value.end());
    if (data.kind == TokenKind::kText) image.data.push_back(0);
    return image;
  }

 private:
  const std::string& Next(TokenKind kind, const char* what) {
    const JournalToken& token = Any(what);
    if (token.kind != kind) Malformed(line_.number, std::string("expected ") + what);
    return token.value;
  }

  const NumberedLine& line_;
  std::size_t index_ = 0;
};

RegistryKeyImage* FindSubKey(RegistryKeyImage& top, const std::string& relative) {
  RegistryKeyImage* current = &top;
  std::size_t start = 0;
  while (!relative.empty() && start <= relative.size()) {
    std::size_t end = relative.find('\\', start);
    if (end == std::string::npos) end = relative.size();
    const std::string part = relative.substr(start, end - start);
    auto& subs = current->subKeys;
    const auto it = std::find_if(subs.begin(), subs.end(),
                                 [&](const auto& s) { return EqualsIgnoreCase(s.name, part); });
    if (it == subs.end()) return nullptr;
    current = &it->image;
    start = end + 1;
  }
  return current;
}

class JournalParser {
 public:
  JournalParser(std::vector<NumberedLine>& lines, JournalContent& content)
      : lines_(lines), content_(content) {}

  void ReadItems() {
    std::map<int, std::size_t> byId;
    for (next_ = 4; next_ < lines_.size();) {
      const NumberedLine& line = lines_[next_++];
      LineReader reader(line);
      const std::string& kind = reader.Word("record kind");
      if (kind == "after") {
        const int id = reader.Id();
        const std::string& word = reader.Word("digest");
        reader.End();
        const auto it = byId.find(id);
        if (it == byId.end()) Malformed(line.number, "'after' names no earlier record");
        std::string bytes;
        if (word.rfind(kDigestPrefix, 0) != 0 || word.size() != 7 + kMacDigits ||
            !DecodeHexDigits(word.substr(7), &bytes))
          Malformed(line.number, "expected sha256: and 64 hex digits");
        Sha256Digest digest;
        std::copy(bytes.begin(), bytes.end(), digest.begin());
        content_.items[it->second].after = digest;
        continue;
      }
      if (kind == "hive") {
        ReadHive(reader, line.number);
        continue;
      }
      JournalItem item;
      item.id = reader.Id();
      if (!content_.items.empty() && item.id <= content_.items.back().id)
        Malformed(line.number, "record numbers must increase");
      if (kind == "value") {
        item.kind = JournalItemKind::kValue;
        item.root = reader.Root();
        item.path = reader.Text("key path");
        item.name = reader.Text("value name");
        item.value = reader.ValueImage(true);
        reader.End();
      } else if (kind == "file") {
        item.kind = JournalItemKind::kFile;
        item.path = reader.Text("file path");
        const JournalToken& bytes = reader.Any("file bytes");
        if (bytes.kind == TokenKind::kBytes) {
          item.file = {true, bytes.value};
        } else if (bytes.kind != TokenKind::kWord || bytes.value != "absent") {
          Malformed(line.number, "expected the file's bytes (hex:) or absent");
        }
        reader.End();
      } else if (kind == "key") {
        item.kind = JournalItemKind::kKey;
        item.root = reader.Root();
        item.path = reader.Text("key path");
        const std::string& state = reader.Word("begin or absent");
        reader.End();
        if (state == "begin") {
          if (!ReadKeyImage(item.id, &item.key)) {
            content_.cutShort = true;
            return;  // the run was stopped while the image was written
          }
        } else if (state != "absent") {
          Malformed(line.number, "expected begin or absent");
        }
      } else {
        Malformed(line.number, "'" + kind + "' is not a record kind");
      }
      byId[item.id] = content_.items.size();
      content_.items.push_back(std::move(item));
    }
  }

 private:
  void ReadHive(LineReader& reader, int number) {
    ProfileHive hive;
    hive.sid = reader.Text("SID");
    hive.file = reader.Text("hive file");
    reader.End();
    // The SID is one key name below HKEY_USERS, never a path into another key.
    if (hive.sid.empty() || hive.sid.find('\\') != std::string::npos || hive.file.empty())
      Malformed(number, "a hive is a SID without backslashes and a file");
    for (const ProfileHive& known : content_.hives)
      if (EqualsIgnoreCase(known.sid, hive.sid)) Malformed(number, "the hive is named twice");
    content_.hives.push_back(std::move(hive));
  }

  // The lines after "begin" up to "end <id>"; false when the journal ends before it.
  bool ReadKeyImage(int id, RegistryKeyImage* image) {
    image->exists = true;
    while (next_ < lines_.size()) {
      const NumberedLine& line = lines_[next_++];
      LineReader reader(line);
      const std::string& kind = reader.Word("record kind");
      if (kind == "end") {
        if (reader.Id() != id) Malformed(line.number, "'end' closes another key image");
        reader.End();
        return true;
      }
      if (kind == "subkey") {
        const std::string path = reader.Text("subkey path");
        reader.End();
        const std::size_t cut = path.rfind('\\');
        RegistryKeyImage* parent =
            FindSubKey(*image, cut == std::string::npos ? std::string() : path.substr(0, cut));
        const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
        if (name.empty() || !parent || FindSubKey(*parent, name))
          Malformed(line.number, "a subkey must be new and come after its parent");
        RegistryKeyImage::SubKey sub{name, {}};
        sub.image.exists = true;
        parent->subKeys.push_back(std::move(sub));
      } else if (kind == "keyvalue") {
        const std::string path = reader.Text("subkey path");
        RegValue value;
        value.name = reader.Text("value name");
        const RegistryValueImage data = reader.ValueImage(false);
        reader.End();
        RegistryKeyImage* owner = FindSubKey(*image, path);
        if (!owner) Malformed(line.number, "a value must come after its key");
        value.type = data.type;
        value.data = data.data;
        owner->values.push_back(std::move(value));
      } else {
        Malformed(line.number, "a key image holds only keyvalue, subkey and end lines");
      }
    }
    return false;
  }

  std::vector<NumberedLine>& lines_;
  JournalContent& content_;
  std::size_t next_ = 0;
};

void ReadHeader(std::vector<NumberedLine>& lines, JournalContent& content) {
  if (lines.size() < 4) Malformed(0, "the journal ends within its header");
  {
    LineReader reader(lines[0]);
    if (reader.Word("journal marker") != kMagic) Malformed(1, "this is not a ZEB journal");
    const std::string& version = reader.Word("format version");
    reader.End();
    if (version != std::to_string(kJournalFormatVersion))
      throw ParseError{JournalProblemKind::kOtherVersion, 1,
                       "the journal is of format version " + version +
                           "; this program reads version " +
                           std::to_string(kJournalFormatVersion)};
  }
  LineReader computer(lines[1]);
  computer.Expect("computer");
  content.header.computer = computer.Text("computer name");
  computer.End();
  LineReader started(lines[2]);
  started.Expect("started");
  content.header.started = started.Word("date") + " ";
  content.header.started += started.Word("time");
  started.End();
  LineReader command(lines[3]);
  command.Expect("command");
  content.header.commandLine = command.Text("command line");
  command.End();
  content.headerRead = true;
}

}  // namespace

std::string RootName(RegKey root) {
  for (const RootNameEntry& entry : kRoots)
    if (entry.root == root) return entry.name;
  return {};
}

bool LiesInHive(const ProfileHive& hive, RegKey root, const std::string& path) {
  if (root != hkey::kUsers) return false;
  const std::size_t start = path.find_first_not_of('\\');
  if (start == std::string::npos) return false;
  const std::size_t end = path.find('\\', start);
  return EqualsIgnoreCase(path.substr(start, end == std::string::npos ? end : end - start),
                          hive.sid);
}

Sha256Digest ImageDigest(const RegistryValueImage& image) {
  return Sha256Of(ValueImageTokens(image));
}

Sha256Digest ImageDigest(const RegistryKeyImage& image) {
  if (!image.exists) return Sha256Of("absent");
  std::vector<std::string> lines{"begin"};
  KeyImageLines(image, "", &lines);
  return Sha256Of(Joined(lines));
}

Sha256Digest ImageDigest(const FileImage& image) {
  return Sha256Of(image.exists ? "file\n" + image.bytes : std::string("absent"));
}

std::string JournalFormatter::Line(const std::string& body) {
  previousMac_ = DigestHex(MacOf(keyed_, previousMac_, body));
  return body + " " + previousMac_ + "\n";
}

std::string JournalFormatter::Header(const JournalHeader& header) {
  // One after the other: each line's MAC chains over the one before.
  std::string out = Line(std::string(kMagic) + " " + std::to_string(kJournalFormatVersion));
  out += Line("computer " + QuoteText(header.computer));
  out += Line("started " + header.started);
  return out + Line("command " + QuoteText(header.commandLine));
}

std::string JournalFormatter::Item(const JournalItem& item) {
  const std::string id = std::to_string(item.id);
  switch (item.kind) {
    case JournalItemKind::kValue:
      return Line("value " + id + " " + RootName(item.root) + " " + QuoteText(item.path) + " " +
                  QuoteText(item.name) + " " + ValueImageTokens(item.value));
    case JournalItemKind::kFile:
      return Line("file " + id + " " + QuoteText(item.path) + " " +
                  (item.file.exists ? HexBytes(item.file.bytes) : std::string("absent")));
    case JournalItemKind::kKey: {
      const std::string head =
          "key " + id + " " + RootName(item.root) + " " + QuoteText(item.path) + " ";
      if (!item.key.exists) return Line(head + "absent");
      std::vector<std::string> lines;
      KeyImageLines(item.key, "", &lines);
      std::string out = Line(head + "begin");
      for (const std::string& line : lines) out += Line(line);
      return out + Line("end " + id);
    }
  }
  return {};
}

std::string JournalFormatter::Hive(const ProfileHive& hive) {
  return Line("hive " + QuoteText(hive.sid) + " " + QuoteText(hive.file));
}

std::string JournalFormatter::After(int id, const Sha256Digest& digest) {
  return Line("after " + std::to_string(id) + " " + kDigestPrefix + DigestHex(digest));
}

std::string JournalProblem::Text() const {
  return line ? file + ", line " + std::to_string(line) + ": " + what : file + ": " + what;
}

JournalContent ParseJournal(std::string_view text, std::string_view key,
                            const std::string& fileName) {
  JournalContent content;
  std::vector<NumberedLine> lines;
  try {
    std::size_t start = 0;
    int number = 0;
    while (start < text.size()) {
      const std::size_t end = text.find('\n', start);
      ++number;
      if (end == std::string_view::npos) {
        content.cutShort = true;  // stopped while this line was written
        break;
      }
      const std::string_view whole = text.substr(start, end - start);
      start = end + 1;
      if (whole.size() < kMacDigits + 2 || whole[whole.size() - kMacDigits - 1] != ' ' ||
          !IsLowerHex(whole.substr(whole.size() - kMacDigits)))
        Malformed(number, "the line does not end in its MAC (64 hex digits)");
      NumberedLine line;
      line.number = number;
      line.body = whole.substr(0, whole.size() - kMacDigits - 1);
      line.mac = whole.substr(whole.size() - kMacDigits);
      std::string error;
      auto tokens = SplitTokens(line.body, &error);
      if (!tokens) Malformed(number, error);
      line.tokens = std::move(*tokens);
      if (line.tokens.empty()) Malformed(number, "the line holds no record");
      lines.push_back(std::move(line));
    }
    if (lines.empty()) Malformed(0, "the journal is empty");
    ReadHeader(lines, content);
    std::string previous;
    const HmacSha256 keyed(key);
    for (const NumberedLine& line : lines) {
      previous = DigestHex(MacOf(keyed, previous, line.body));
      if (previous != line.mac)
        throw ParseError{JournalProblemKind::kNotVerified, line.number,
                         "the record does not verify: the journal was altered, records were "
                         "inserted or removed, or it was written on another computer"};
    }
    JournalParser(lines, content).ReadItems();
  } catch (const ParseError& error) {
    content.problemKind = error.kind;
    content.problem = {fileName, error.line, error.what};
  }
  return content;
}

}  // namespace zeb
