#include "changes/report.h"

#include "platform/code_page_1252.h"

namespace zeb {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char kHeader[] = "line,ticked,kind,subType,location,oldText,newText,status";

std::string KindName(std::uint32_t kind) {
  switch (kind) {
    case changekind::kIniEntry: return "INI";
    case changekind::kShortcutFile: return "SHORTCUT";
    default: return RootKeyName(kind);
  }
}

std::string StatusText(const LineOutcome& outcome) {
  switch (outcome.status) {
    case LineStatus::kProposed: return "proposed";
    case LineStatus::kWritten: return "written";
    case LineStatus::kUnticked: return "unticked";
    case LineStatus::kFailed: return "failed: " + outcome.error;
    case LineStatus::kNotReached: return "not reached";
  }
  return {};
}

void AppendRecord(const std::vector<std::string>& fields, std::string* out) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out->push_back(',');
    out->append(CsvField(fields[i]));
  }
  out->append("\r\n");
}

std::string ReportHead() { return std::string(kByteOrderMark) + kHeader + "\r\n"; }

void AppendMessageRecords(const std::vector<std::string>& messages, std::string* out) {
  for (const std::string& message : messages)
    AppendRecord({"", "", "", "", "", "", "", AnsiToUtf8("message: " + message)}, out);
}

}  // namespace

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted.push_back('"');
    quoted.push_back(c);
  }
  quoted.push_back('"');
  return quoted;
}

std::string FormatChangeReport(const ChangeList& changes, CheckList& lines,
                               const std::vector<LineOutcome>& outcomes,
                               const std::vector<std::string>& messages) {
  std::string out = ReportHead();
  const LineOutcome proposed;
  for (std::size_t i = 0; i < changes.size(); ++i) {
    const ChangeRec& change = changes[i];
    const LineOutcome& outcome = i < outcomes.size() ? outcomes[i] : proposed;
    const bool ticked = i < lines.LineCount() && lines.IsTicked(i);
    AppendRecord({std::to_string(i + 1), ticked ? "1" : "0", KindName(change.kind),
                  std::to_string(change.subType), AnsiToUtf8(change.location),
                  AnsiToUtf8(change.oldText), AnsiToUtf8(change.newText),
                  AnsiToUtf8(StatusText(outcome))},
                 &out);
  }
  AppendMessageRecords(messages, &out);
  return out;
}

void ChangeReport::Write(const ChangeList& changes, CheckList& lines,
                         const std::vector<LineOutcome>& outcomes) {
  lastOutcomes_ = outcomes;
  Store(FormatChangeReport(changes, lines, outcomes, messages_));
}

void ChangeReport::WriteMessagesOnly() {
  std::string text = ReportHead();
  AppendMessageRecords(messages_, &text);
  Store(text);
}

void ChangeReport::Store(const std::string& text) {
  messagesWritten_ = messages_.size();
  lastWriteFailed_ = !writer_.WriteWholeFile(path_, text);
  if (lastWriteFailed_) boxes_.ShowMessage("Unable to write report " + path_);
}

void ChangeReport::WritePending(const ChangeList& changes, CheckList& lines) {
  if (messages_.size() > messagesWritten_) Write(changes, lines, std::vector(lastOutcomes_));
}

}  // namespace zeb
