#pragma once
// The change report of "/REPORT=path": every check-list line with its change and what
// became of it, as CSV (RFC 4180, UTF-8 with a byte-order mark, CRLF line ends).
#include <string>
#include <string_view>
#include <vector>

#include "changes/change_list.h"
#include "changes/line_outcome.h"
#include "changes/text_file_writer.h"
#include "platform/view.h"

namespace zeb {

// One CSV field: quoted when it holds a comma, a quote, CR or LF, with quotes doubled.
std::string CsvField(std::string_view text);

// The report's text. Lines without an outcome (all of them after the scan) are "proposed".
// `messages` become lines of their own after the changes, with only the status field.
std::string FormatChangeReport(const ChangeList& changes, CheckList& lines,
                               const std::vector<LineOutcome>& outcomes,
                               const std::vector<std::string>& messages = {});

class ChangeReport {
 public:
  ChangeReport(std::string path, TextFileWriter& writer, MessageBoxes& boxes)
      : path_(std::move(path)), writer_(writer), boxes_(boxes) {}

  const std::string& path() const { return path_; }

  // A file that cannot be written is reported in a message box; the run goes on, and
  // LastWriteFailed() tells the program's end, which turns it into the exit code.
  void Write(const ChangeList& changes, CheckList& lines,
             const std::vector<LineOutcome>& outcomes = {});

  // Writes the report again, with the outcomes of the last write, when messages came after
  // it or it was never written but holds messages (a run that ended before its scan).
  void WritePending(const ChangeList& changes, CheckList& lines);
  bool LastWriteFailed() const { return lastWriteFailed_; }
  // The header and the messages alone, for a run that ended before it had a change list
  // (its windows could not be made).
  void WriteMessagesOnly();

  // A text the run has to tell whoever reads the report (a failure, a skipped profile):
  // written after the change lines, as a line whose status is "message: " and the text.
  void AddMessage(const std::string& text) { messages_.push_back(text); }
  const std::vector<std::string>& Messages() const { return messages_; }

 private:
  void Store(const std::string& text);

  std::string path_;
  std::vector<std::string> messages_;
  std::vector<LineOutcome> lastOutcomes_;
  std::size_t messagesWritten_ = 0;
  bool lastWriteFailed_ = false;
  TextFileWriter& writer_;
  MessageBoxes& boxes_;
};

}  // namespace zeb
