// The change report: whatever the texts of the changes, the report parses back with an
// RFC 4180 reader to the fields written, and no field begins with a character that makes a
// spreadsheet run it as a formula unless it carries the leading apostrophe.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "changes/report.h"
#include "fuzz/fuzz_check.h"
#include "platform/code_page_1252.h"
#include "support/recording_view.h"

namespace {

using Record = std::vector<std::string>;

// RFC 4180: records end in CR LF; a field in quotes may hold anything, "" is a quote.
// False for text that is not CSV of that kind.
bool ReadCsv(const std::string& text, std::vector<Record>* records) {
  std::size_t i = 0;
  while (i < text.size()) {
    Record record;
    for (;;) {
      std::string field;
      if (i < text.size() && text[i] == '"') {
        for (++i;; ++i) {
          if (i >= text.size()) return false;
          if (text[i] == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
              field.push_back('"');
              ++i;
            } else {
              ++i;
              break;
            }
          } else {
            field.push_back(text[i]);
          }
        }
      } else {
        while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
          if (text[i] == '"') return false;
          field.push_back(text[i++]);
        }
      }
      record.push_back(field);
      if (i < text.size() && text[i] == ',') {
        ++i;
        continue;
      }
      if (text.compare(i, 2, "\r\n") != 0) return false;
      i += 2;
      break;
    }
    records->push_back(record);
  }
  return true;
}

bool IsFormulaStart(const std::string& text) {
  return !text.empty() && std::string("=+-@\t\r").find(text.front()) != std::string::npos;
}

// The field as a spreadsheet must be given it.
std::string Expected(const std::string& text) { return IsFormulaStart(text) ? "'" + text : text; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  zeb::testing::RecordingView view;
  zeb::RunFlags flags;
  zeb::ChangeList changes(view, view, flags);
  const int count = input.ConsumeIntegralInRange(0, 6);
  for (int i = 0; i < count; ++i) {
    const std::uint32_t kind = input.ConsumeBool() ? input.ConsumeIntegralInRange<std::uint32_t>(1, 2)
                                                   : input.ConsumeIntegral<std::uint32_t>();
    const std::uint8_t subType = input.ConsumeIntegral<std::uint8_t>();
    const std::string location = input.ConsumeRandomLengthString(40);
    const std::string oldText = input.ConsumeRandomLengthString(40);
    const std::string newText = input.ConsumeRandomLengthString(40);
    changes.AddChange(kind, subType, location, oldText, newText);
  }
  std::vector<std::string> messages;
  while (input.remaining_bytes() > 0 && messages.size() < 3)
    messages.push_back(input.ConsumeRandomLengthString(40));

  const std::string report = zeb::FormatChangeReport(changes, view, {}, messages);
  FUZZ_CHECK(report.compare(0, 3, "\xEF\xBB\xBF") == 0);
  std::vector<Record> records;
  FUZZ_CHECK(ReadCsv(report.substr(3), &records));
  FUZZ_CHECK(records.size() == 1 + changes.size() + messages.size());
  FUZZ_CHECK(records[0] == (Record{"line", "ticked", "kind", "subType", "location", "oldText",
                                   "newText", "status"}));
  for (std::size_t i = 0; i < changes.size(); ++i) {
    const Record& record = records[i + 1];
    FUZZ_CHECK(record.size() == 8);
    FUZZ_CHECK(record[0] == std::to_string(i + 1));
    FUZZ_CHECK(record[3] == std::to_string(changes[i].subType));
    FUZZ_CHECK(record[4] == Expected(zeb::AnsiToUtf8(changes[i].location)));
    FUZZ_CHECK(record[5] == Expected(zeb::AnsiToUtf8(changes[i].oldText)));
    FUZZ_CHECK(record[6] == Expected(zeb::AnsiToUtf8(changes[i].newText)));
    FUZZ_CHECK(record[7] == "proposed");
  }
  for (std::size_t i = 0; i < messages.size(); ++i) {
    const Record& record = records[1 + changes.size() + i];
    FUZZ_CHECK(record.size() == 8);
    FUZZ_CHECK(record[7] == Expected(zeb::AnsiToUtf8("message: " + messages[i])));
  }
  for (const Record& record : records)
    for (const std::string& field : record)
      FUZZ_CHECK(!IsFormulaStart(field));
  return 0;
}
