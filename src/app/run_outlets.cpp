#include "app/run_outlets.h"

namespace zeb {

void RunBoxes::Record(const std::string& text) {
  // Without a report a quiet run's texts live on only in its exit code.
  if (report_) report_->AddMessage(text);
}

void RunBoxes::ShowMessage(const std::string& text) {
  if (quiet_) return Record(text);
  windows_.ShowMessage(text);
}

void RunBoxes::ShowError(const std::string& text) {
  if (quiet_) return Record(text);
  windows_.ShowError(text);
}

bool RunBoxes::ConfirmInformation(const std::string& text) {
  if (!quiet_) return windows_.ConfirmInformation(text);
  Record(text);
  return true;
}

bool RunBoxes::ConfirmWarning(const std::string& text) {
  if (!quiet_) return windows_.ConfirmWarning(text);
  Record(text);
  return true;
}

void RunProgress::SetStatus(StatusLine line, const std::string& text) {
  if (quiet_)
    kept_[line] = text;
  else
    windows_.SetStatus(line, text);
}

std::string RunProgress::StatusText(StatusLine line) {
  if (!quiet_) return windows_.StatusText(line);
  const auto found = kept_.find(line);
  return found == kept_.end() ? std::string() : found->second;
}

void RunProgress::RepaintList() {
  if (!quiet_) windows_.RepaintList();
}

void RunProgress::SetCursor(Cursor cursor) {
  if (quiet_)
    cursor_ = cursor;
  else
    windows_.SetCursor(cursor);
}

Cursor RunProgress::CurrentCursor() { return quiet_ ? cursor_ : windows_.CurrentCursor(); }

}  // namespace zeb
