#pragma once
// What the core does to windows. The app implements these with real windows; tests use
// the recorder in tests/support.
#include <cstddef>
#include <string>

namespace zeb {

// The status labels the scanners and Save write to. Main* are the main window's Label1 to
// Label4; Splash* the splash window's two status lines used in stealth mode.
enum class StatusLine { kMain1, kMain2, kMain3, kMain4, kSplash3, kSplash4 };

enum class Cursor { kDefault, kHourglass, kAppStarting, kArrow };

class ProgressView {
 public:
  virtual ~ProgressView() = default;
  // Sets the label's text and repaints it at once (not through the message loop).
  virtual void SetStatus(StatusLine line, const std::string& text) = 0;
  virtual std::string StatusText(StatusLine line) = 0;
  // Lets pending window messages be processed.
  virtual void ProcessMessages() = 0;
  virtual void RepaintList() = 0;
  virtual void SetCursor(Cursor cursor) = 0;
  virtual Cursor CurrentCursor() = 0;
};

// The main window's check-list: one line per proposed change, each with a tick box.
class CheckList {
 public:
  virtual ~CheckList() = default;
  virtual void AppendLine(const std::string& text, bool ticked) = 0;
  virtual std::size_t LineCount() = 0;
  virtual bool IsTicked(std::size_t line) = 0;
  virtual bool IsEnabled() = 0;
};

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void ShowMessage(const std::string& text) = 0;  // plain box, OK
  virtual void ShowError(const std::string& text) = 0;    // the general error handler's box
  // Information box with OK and Cancel; true for OK.
  virtual bool ConfirmInformation(const std::string& text) = 0;
  // Warning box captioned "Warning" with OK and Cancel; true for OK.
  virtual bool ConfirmWarning(const std::string& text) = 0;
};

}  // namespace zeb
