// The undo journal's reader. Any file is read or refused with a problem and a line number, and
// a refused journal gives a rollback nothing to restore. The first input byte picks how the
// rest is used:
//   0: the journal file as it is (the seeds are journals signed with this computer's key);
//   1: the bodies of the lines, each signed in turn, so that any record text reaches the
//      record reader; what it reads back, written again, reads back the same;
//   2: the makings of a journal the program's own writer writes: it reads back to exactly the
//      records written; cut at any byte it reads up to its last complete record and never
//      past it; one altered byte in a line fails it at that line.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <vector>

#include "changes/journal_format.h"
#include "changes/journal_key.h"
#include "changes/rollback.h"
#include "fuzz/fuzz_check.h"
#include "platform/text.h"
#include "support/memory_workstation.h"

namespace {

constexpr char kPath[] = "C:\\ZEB\\run.jnl";
// Enough records to reach every kind of line; the cut checks parse a few times per line, so
// they stop sooner.
constexpr std::size_t kMostLines = 64;
constexpr std::size_t kCutLines = 20;

// One workstation for every input: reading a journal writes nothing, so what one input leaves
// behind is only the journal file, which the next one replaces.
struct Computer {
  zeb::testing::MemoryWorkstation memory;
  zeb::Workstation workstation{memory.registry, memory.profiles, memory.finder,
                               memory.shellLinks, memory.facts,  memory.fileBytes};
  std::string key;

  Computer() {
    memory.files.MakeFolder("C:\\ZEB");
    const zeb::JournalKeyResult made = zeb::JournalKeyForWriting(memory.registry, memory.facts);
    FUZZ_CHECK(made.status == zeb::JournalKeyStatus::kFound);
    key = made.key;
  }

  zeb::JournalContent Parse(std::string_view text) const {
    return zeb::ParseJournal(text, key, kPath);
  }

  zeb::LoadedJournal Load(const std::string& text) {
    memory.files.WriteFile(kPath, text);
    return zeb::LoadJournal(workstation, kPath);
  }
};

Computer& ThisComputer() {
  static Computer computer;
  return computer;
}

std::size_t LineCount(std::string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
}

bool SameItem(const zeb::JournalItem& a, const zeb::JournalItem& b, bool withAfter = true) {
  return a.id == b.id && a.kind == b.kind && a.root == b.root && a.path == b.path &&
         a.name == b.name && a.value == b.value && a.key == b.key && a.file == b.file &&
         (!withAfter || a.after == b.after);
}

// A refusal says what and where, and nothing of the journal may be used.
void CheckRefusal(const zeb::JournalContent& content, std::string_view text) {
  if (content.ok()) return;
  FUZZ_CHECK(!content.problem.what.empty());
  FUZZ_CHECK(content.problem.line >= 0 &&
             static_cast<std::size_t>(content.problem.line) <= LineCount(text));
  FUZZ_CHECK(content.problem.Text().find(kPath) == 0);
}

void CheckLoad(const zeb::LoadedJournal& loaded, const zeb::JournalContent& content) {
  if (!content.ok()) FUZZ_CHECK(!loaded.ok);
  if (loaded.ok) {
    FUZZ_CHECK(loaded.restorations.size() == content.items.size());
    FUZZ_CHECK(std::equal(loaded.restorations.begin(), loaded.restorations.end(),
                          content.items.rbegin(), [](const auto& a, const auto& b) {
                            return SameItem(a, b);
                          }));
  } else {
    FUZZ_CHECK(!loaded.error.empty());
    FUZZ_CHECK(loaded.restorations.empty());
  }
}

bool SameHeader(const zeb::JournalHeader& a, const zeb::JournalHeader& b) {
  return a.computer == b.computer && a.started == b.started && a.commandLine == b.commandLine;
}

// The journal the writer makes of what a reading gave: the header, every item, then the
// "after" records.
std::string Rewrite(const zeb::JournalContent& content, const std::string& key) {
  zeb::JournalFormatter out(key);
  std::string text = out.Header(content.header);
  for (const zeb::JournalItem& item : content.items) text += out.Item(item);
  for (const zeb::JournalItem& item : content.items)
    if (item.after) text += out.After(item.id, *item.after);
  return text;
}

// Cut at each line end, and inside each line: before the fourth line end the header is
// incomplete; after it, the journal reads as the complete lines alone, its items the
// whole journal's first ones.
void CheckCuts(Computer& computer, const std::string& text, const zeb::JournalContent& whole,
               std::uint8_t inside) {
  std::size_t lines = 0;
  std::size_t start = 0;  // of the line that ends at `end`
  for (std::size_t end = text.find('\n'); end != std::string::npos && lines < kCutLines;
       start = end + 1, end = text.find('\n', start)) {
    ++lines;
    const zeb::JournalContent cut = computer.Parse(std::string_view(text.data(), end + 1));
    CheckRefusal(cut, text);
    if (lines < 4) {
      FUZZ_CHECK(cut.problemKind == zeb::JournalProblemKind::kMalformed);
      FUZZ_CHECK(cut.items.empty());
      continue;
    }
    FUZZ_CHECK(cut.ok());
    FUZZ_CHECK(cut.items.size() <= whole.items.size());
    for (std::size_t i = 0; i < cut.items.size(); ++i)
      FUZZ_CHECK(SameItem(cut.items[i], whole.items[i], false));
    if (lines == 4) continue;
    // A line cut inside reads as the lines before it.
    const std::size_t within = start + inside % (end - start + 1);
    const zeb::JournalContent midLine = computer.Parse(std::string_view(text.data(), within));
    const zeb::JournalContent before = computer.Parse(std::string_view(text.data(), start));
    FUZZ_CHECK(midLine.ok() && before.ok());
    FUZZ_CHECK(midLine.items.size() == before.items.size());
    FUZZ_CHECK(within == start || midLine.cutShort);
  }
}

// ---- Mode 1: signed bodies ------------------------------------------------------------

void SignedBodies(Computer& computer, std::string_view bodies) {
  zeb::JournalFormatter out(computer.key);
  std::string text;
  std::size_t start = 0;
  for (std::size_t count = 0; start <= bodies.size() && count < kMostLines; ++count) {
    std::size_t end = bodies.find('\n', start);
    if (end == std::string_view::npos) end = bodies.size();
    text += out.Line(std::string(bodies.substr(start, end - start)));
    start = end + 1;
  }
  const zeb::JournalContent content = computer.Parse(text);
  CheckRefusal(content, text);
  // Every line carries its right MAC: only its text can be at fault.
  FUZZ_CHECK(content.problemKind != zeb::JournalProblemKind::kNotVerified);
  CheckLoad(computer.Load(text), content);
  if (!content.ok()) return;
  const std::string again = Rewrite(content, computer.key);
  const zeb::JournalContent reread = computer.Parse(again);
  FUZZ_CHECK(reread.ok());
  FUZZ_CHECK(SameHeader(reread.header, content.header));
  FUZZ_CHECK(reread.items.size() == content.items.size());
  for (std::size_t i = 0; i < reread.items.size(); ++i)
    FUZZ_CHECK(SameItem(reread.items[i], content.items[i]));
  CheckCuts(computer, text, content, static_cast<std::uint8_t>(text.size()));
}

// ---- Mode 2: the writer's own journals ------------------------------------------------

constexpr zeb::RegKey kRoots[] = {zeb::hkey::kClassesRoot,   zeb::hkey::kCurrentUser,
                                  zeb::hkey::kLocalMachine,  zeb::hkey::kUsers,
                                  zeb::hkey::kCurrentConfig, zeb::hkey::kDynData};

std::vector<std::uint8_t> Data(FuzzedDataProvider& input, std::uint32_t type) {
  std::string bytes = input.ConsumeRandomLengthString(48);
  // Most string data ends in its zero, as the Registry keeps it; the rest shows as hex.
  if ((type == zeb::regtype::kString || type == zeb::regtype::kExpandString) &&
      input.ConsumeBool())
    bytes.push_back('\0');
  return {bytes.begin(), bytes.end()};
}

std::uint32_t Type(FuzzedDataProvider& input) {
  return input.ConsumeBool() ? input.ConsumeIntegralInRange<std::uint32_t>(0, 11)
                             : input.ConsumeIntegral<std::uint32_t>();
}

// A subkey's name as the Registry allows one: not empty, no backslash, none of its siblings'.
std::string SubKeyName(FuzzedDataProvider& input, const zeb::RegistryKeyImage& parent) {
  std::string name = input.ConsumeRandomLengthString(12);
  name.erase(std::remove(name.begin(), name.end(), '\\'), name.end());
  if (name.empty()) name = "k";
  for (const auto& sibling : parent.subKeys)
    if (zeb::EqualsIgnoreCase(sibling.name, name)) return {};
  return name;
}

zeb::RegistryKeyImage KeyImage(FuzzedDataProvider& input, int depth) {
  zeb::RegistryKeyImage image;
  image.exists = true;
  const int values = input.ConsumeIntegralInRange(0, 3);
  for (int i = 0; i < values; ++i) {
    zeb::RegValue value;
    value.name = input.ConsumeRandomLengthString(12);
    const bool taken = std::any_of(image.values.begin(), image.values.end(), [&](const auto& v) {
      return zeb::EqualsIgnoreCase(v.name, value.name);
    });
    if (taken) continue;
    value.type = Type(input);
    value.data = Data(input, value.type);
    image.values.push_back(std::move(value));
  }
  const int subKeys = depth < 3 ? input.ConsumeIntegralInRange(0, 2) : 0;
  for (int i = 0; i < subKeys; ++i) {
    std::string name = SubKeyName(input, image);
    if (name.empty()) continue;
    image.subKeys.push_back({std::move(name), KeyImage(input, depth + 1)});
  }
  return image;
}

zeb::JournalItem MakeItem(FuzzedDataProvider& input, int id) {
  zeb::JournalItem item;
  item.id = id;
  item.root = kRoots[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kRoots) - 1)];
  item.path = input.ConsumeRandomLengthString(40);
  switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
      item.kind = zeb::JournalItemKind::kValue;
      item.name = input.ConsumeRandomLengthString(20);
      if (input.ConsumeBool()) {
        item.value.exists = true;
        item.value.type = Type(input);
        item.value.data = Data(input, item.value.type);
      }
      break;
    case 1:
      item.kind = zeb::JournalItemKind::kKey;
      if (input.ConsumeBool()) item.key = KeyImage(input, 0);
      break;
    default:
      item.kind = zeb::JournalItemKind::kFile;
      item.root = 0;
      if (input.ConsumeBool()) item.file = {true, input.ConsumeRandomLengthString(64)};
      break;
  }
  return item;
}

// Where each item's record ends and where each "after" record stands, in lines.
struct Written {
  std::string text;
  std::vector<zeb::JournalItem> items;  // with their "after" digests
  std::vector<std::size_t> itemEnds;    // the line count once the item's record is complete
  std::vector<std::size_t> afterLines;  // the line count once its first "after" is there; 0: none
  std::vector<bool> insideKey;          // by line count: a key image is still open there
};

void Append(Written& written, const std::string& lines, bool keyImage) {
  const std::size_t before = LineCount(written.text) - 1;
  written.text += lines;
  const std::size_t after = LineCount(written.text) - 1;
  for (std::size_t line = before + 1; line <= after; ++line)
    written.insideKey.push_back(keyImage && line < after);
}

Written WriteJournal(FuzzedDataProvider& input, Computer& computer) {
  Written written;
  written.insideKey.push_back(false);  // no line yet
  zeb::JournalFormatter out(computer.key);
  zeb::JournalHeader header{computer.memory.facts.computerName,
                            computer.memory.facts.localTimestamp,
                            input.ConsumeRandomLengthString(60)};
  Append(written, out.Header(header), false);
  const int count = input.ConsumeIntegralInRange(0, 6);
  for (int id = 1; id <= count; ++id) {
    zeb::JournalItem item = MakeItem(input, id);
    Append(written, out.Item(item), item.kind == zeb::JournalItemKind::kKey && item.key.exists);
    written.itemEnds.push_back(LineCount(written.text) - 1);
    written.afterLines.push_back(0);
    written.items.push_back(std::move(item));
    // Save writes a pass's "after" records once the pass is done: here, now and then.
    while (input.ConsumeBool() && !written.items.empty()) {
      const std::size_t which =
          input.ConsumeIntegralInRange<std::size_t>(0, written.items.size() - 1);
      zeb::Sha256Digest digest{};
      const std::string bytes = input.ConsumeBytesAsString(digest.size());
      std::copy(bytes.begin(), bytes.end(), digest.begin());
      written.items[which].after = digest;
      Append(written, out.After(written.items[which].id, digest), false);
      if (written.afterLines[which] == 0) written.afterLines[which] = LineCount(written.text) - 1;
    }
  }
  return written;
}

void WritersJournal(Computer& computer, FuzzedDataProvider& input) {
  const Written written = WriteJournal(input, computer);
  const std::string& text = written.text;
  const zeb::JournalContent content = computer.Parse(text);
  FUZZ_CHECK(content.ok());
  FUZZ_CHECK(!content.cutShort);
  FUZZ_CHECK(content.items.size() == written.items.size());
  for (std::size_t i = 0; i < written.items.size(); ++i)
    FUZZ_CHECK(SameItem(content.items[i], written.items[i]));
  const zeb::LoadedJournal loaded = computer.Load(text);
  FUZZ_CHECK(loaded.ok);
  CheckLoad(loaded, content);

  // Cut at any byte: exactly the records complete before the cut, with the "after" records
  // that are.
  const std::size_t cutAt = input.ConsumeIntegralInRange<std::size_t>(0, text.size());
  const std::string_view cutText(text.data(), cutAt);
  const std::size_t lines = LineCount(cutText) - 1;
  const zeb::JournalContent cut = computer.Parse(cutText);
  CheckRefusal(cut, cutText);
  if (lines < 4) {
    FUZZ_CHECK(!cut.ok() && cut.items.empty());
  } else {
    FUZZ_CHECK(cut.ok());
    const bool midLine = cutAt > 0 && text[cutAt - 1] != '\n';
    FUZZ_CHECK(cut.cutShort == (midLine || written.insideKey[lines]));
    std::size_t complete = 0;
    while (complete < written.items.size() && written.itemEnds[complete] <= lines) ++complete;
    FUZZ_CHECK(cut.items.size() == complete);
    for (std::size_t i = 0; i < complete; ++i) {
      FUZZ_CHECK(SameItem(cut.items[i], written.items[i], false));
      const bool afterIn = written.afterLines[i] != 0 && written.afterLines[i] <= lines;
      FUZZ_CHECK(cut.items[i].after.has_value() == afterIn);
    }
  }

  // One byte of one line's record changed: refused at that line, with nothing to restore.
  const std::size_t target = input.ConsumeIntegralInRange<std::size_t>(0, text.size() - 1);
  const std::size_t lineStart = target == 0 ? 0 : text.rfind('\n', target - 1) + 1;
  const std::size_t lineEnd = text.find('\n', target);
  const std::size_t bodyLength = lineEnd - lineStart - 65;  // " " and the MAC follow it
  const std::size_t at = lineStart + (target - lineStart) % bodyLength;
  const std::uint8_t flip = input.ConsumeIntegralInRange<std::uint8_t>(1, 255);
  std::string altered = text;
  altered[at] = static_cast<char>(altered[at] ^ flip);
  const zeb::JournalContent refused = computer.Parse(altered);
  FUZZ_CHECK(!refused.ok());
  FUZZ_CHECK(static_cast<std::size_t>(refused.problem.line) ==
             LineCount(std::string_view(text.data(), lineStart)));
  CheckRefusal(refused, altered);
  CheckLoad(computer.Load(altered), refused);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  Computer& computer = ThisComputer();
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 3) {
    case 0: {
      const std::string text(rest);
      const zeb::JournalContent content = computer.Parse(text);
      CheckRefusal(content, text);
      CheckLoad(computer.Load(text), content);
      if (content.ok()) CheckCuts(computer, text, content, data[size - 1]);
      break;
    }
    case 1:
      SignedBodies(computer, rest);
      break;
    default: {
      FuzzedDataProvider input(data + 1, size - 1);
      WritersJournal(computer, input);
      break;
    }
  }
  return 0;
}
