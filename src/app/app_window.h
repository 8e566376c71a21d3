#pragma once
// What the program's logic does to its two windows and to its own life. The Win32 windows
// implement these; the unit tests use fakes. Status lines, the check-list, message boxes and
// the screen cursor are the seams of platform/view.h and are not repeated here.
#include <string>
#include <vector>

#include "scan/scan_context.h"  // ProgramMode: the items of the "Program Mode" radio group

namespace zeb {

// The four check boxes of the "Search" group.
enum class SearchArea { kDesktop, kStartMenu, kIniFiles, kRegistry };

// The main window's controls whose enabled state the logic sets.
enum class MainControl {
  kSearchButton,   // Button1 "Search"
  kSaveButton,     // Button2 "Save"
  kExitButton,     // Button3 "Exit"
  kProgramMode,    // the radio group
  kSearchLabel,    // Label5 "Search for:"
  kSearchEdit,     // Search
  kReplaceLabel,   // Label6 "Replace with:"
  kReplaceEdit,    // Replace
  kSearchDesktop,
  kSearchStartMenu,
  kSearchIniFiles,
  kSearchRegistry,
  kList,           // ListBox1; its state is also what CheckList::IsEnabled reports
};

enum class MainTimer {
  kUnattendedRun,  // Timer1, 1000 ms
  kSplashHandOver, // Timer2, 3000 ms
};

// The main window (Tform1).
class MainWindow {
 public:
  virtual ~MainWindow() = default;

  virtual bool IsTicked(SearchArea area) = 0;
  virtual void SetTicked(SearchArea area, bool ticked) = 0;

  // Selecting an item from here does not run the mode-change handler.
  virtual ProgramMode SelectedMode() = 0;
  virtual void SelectMode(ProgramMode mode) = 0;

  virtual std::string SearchText() = 0;
  virtual void SetSearchText(const std::string& text) = 0;
  virtual std::string ReplaceText() = 0;
  virtual void SetReplaceText(const std::string& text) = 0;

  virtual bool IsEnabled(MainControl control) = 0;
  virtual void SetEnabled(MainControl control, bool enabled) = 0;

  virtual std::string Caption() = 0;
  virtual void SetCaption(const std::string& caption) = 0;

  // An enabled timer fires after its interval; the handlers disable it (one-shot).
  virtual void SetTimerEnabled(MainTimer timer, bool enabled) = 0;

  virtual void Show() = 0;
  virtual void BringToFront() = 0;
  virtual void Hide() = 0;
};

// The splash window (TForm3), the application's main window.
class SplashWindow {
 public:
  virtual ~SplashWindow() = default;

  // Paints the window at once, not through the message loop.
  virtual void PaintNow() = 0;
  virtual void Hide() = 0;
  virtual bool IsVisible() = 0;

  // Doubles the width, keeping the window centred, and creates the message panel on the
  // right half, still hidden. Called once, before the message file is read.
  virtual void WidenForMessagePanel() = 0;
  // Fills the panel with these lines and makes it visible.
  virtual void ShowMessagePanel(const std::vector<std::string>& lines) = 0;

  // A message box owned by the application window, with an OK button.
  virtual void ShowAboutBox(const std::string& caption, const std::string& text) = 0;
};

// The program's own life.
class ProgramControl {
 public:
  virtual ~ProgramControl() = default;
  // The program ends as soon as control returns to the message loop, before any timer fires.
  virtual void RequestEnd() = 0;
  // Ends the program at once with this exit code, without further window events.
  virtual void EndNow(int exitCode) = 0;
};

}  // namespace zeb
