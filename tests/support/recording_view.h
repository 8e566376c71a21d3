#pragma once
// A recorder for the view seams: status lines, messages, check-list lines and ticks.
#include <map>
#include <string>
#include <vector>

#include "platform/view.h"

namespace zeb::testing {

class RecordingView : public ProgressView, public CheckList, public MessageBoxes {
 public:
  struct Line {
    std::string text;
    bool ticked;
  };

  // ProgressView
  void SetStatus(StatusLine line, const std::string& text) override {
    status[line] = text;
    statusHistory.push_back({line, text});
  }
  std::string StatusText(StatusLine line) override { return status[line]; }
  void ProcessMessages() override { ++messagePumps; }
  void RepaintList() override { ++listRepaints; }
  void SetCursor(Cursor c) override { cursor = c; }
  Cursor CurrentCursor() override { return cursor; }

  // CheckList
  void AppendLine(const std::string& text, bool ticked) override { lines.push_back({text, ticked}); }
  std::size_t LineCount() override { return lines.size(); }
  bool IsTicked(std::size_t line) override { return lines.at(line).ticked; }
  bool IsEnabled() override { return listEnabled; }

  // MessageBoxes
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void ShowError(const std::string& text) override { errors.push_back(text); }
  bool ConfirmInformation(const std::string& text) override {
    confirmations.push_back(text);
    return answerOk;
  }
  bool ConfirmWarning(const std::string& text) override {
    confirmations.push_back(text);
    return answerOk;
  }

  std::map<StatusLine, std::string> status;
  std::vector<std::pair<StatusLine, std::string>> statusHistory;
  int messagePumps = 0;
  int listRepaints = 0;
  Cursor cursor = Cursor::kDefault;
  std::vector<Line> lines;
  bool listEnabled = true;
  std::vector<std::string> messages;
  std::vector<std::string> errors;
  std::vector<std::string> confirmations;
  bool answerOk = true;
};

}  // namespace zeb::testing
