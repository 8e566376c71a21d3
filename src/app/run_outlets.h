#pragma once
// Where a run's boxes and progress go. Every part of the program talks to these two, so that
// "/QUIET" is decided here and nowhere else: the windows' own boxes and status lines in an
// ordinary run; under "/QUIET" the boxes become "message: " lines of the report and the
// progress goes nowhere.
#include <map>
#include <string>

#include "changes/report.h"
#include "platform/view.h"

namespace zeb {

class RunBoxes : public MessageBoxes {
 public:
  // `windows` are the boxes of the program's windows (unused under `quiet`); `report` is
  // the "/REPORT=" file or null, and may be given later, once it exists.
  RunBoxes(bool quiet, MessageBoxes& windows, ChangeReport* report = nullptr)
      : quiet_(quiet), windows_(windows), report_(report) {}

  void SetReport(ChangeReport* report) { report_ = report; }

  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  // Under "/QUIET" the answer is OK: Save goes ahead and a due restart is made, as
  // "/NOPROMPT" would have them; the question is still recorded in the report.
  bool ConfirmInformation(const std::string& text) override;
  bool ConfirmWarning(const std::string& text) override;

 private:
  void Record(const std::string& text);

  const bool quiet_;
  MessageBoxes& windows_;
  ChangeReport* report_;
};

class RunProgress : public ProgressView {
 public:
  // `windows` are the program's status lines and cursor. Under `quiet` their texts are only
  // kept (Save reads the stealth line back to append to it) and the cursor is left alone;
  // pending messages are still processed, so that timers and the end request get through.
  RunProgress(bool quiet, ProgressView& windows) : quiet_(quiet), windows_(windows) {}

  void SetStatus(StatusLine line, const std::string& text) override;
  std::string StatusText(StatusLine line) override;
  void ProcessMessages() override { windows_.ProcessMessages(); }
  void RepaintList() override;
  void SetCursor(Cursor cursor) override;
  Cursor CurrentCursor() override;

 private:
  const bool quiet_;
  ProgressView& windows_;
  std::map<StatusLine, std::string> kept_;
  Cursor cursor_ = Cursor::kDefault;
};

}  // namespace zeb
