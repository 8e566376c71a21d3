// Works zeb's windows from outside, through window messages, for the GUI tests. Runs under
// the same Wine server as zeb.exe. Commands follow each other on the command line; each
// query prints one line. Exit code 0 when every command succeeded, 1 at the first failure
// (with the reason on stderr), 2 for a command line it does not understand.
//
//   wait-window FORM [SECONDS]     until a window is on screen with controls; prints its caption
//   wait-hidden FORM [SECONDS]     until no such window is on screen
//   caption FORM | visible FORM | client FORM | frame FORM
//   text C | enabled C | shown C | checked C | rect C
//   wait-text C TEXT [SECONDS] | wait-enabled C 0|1 [SECONDS]
//   click C (a button, or the middle of any other control) | set-text C TEXT | close FORM
//   wait-lines C N [SECONDS]       until the list holds at least N lines (asks only the count)
//   lines C | tick C LINE | space C LINE | dblclick C LINE | select C LINE
//   tab-order FORM
//   box-wait [SECONDS] | box-caption | box-text | box-press BUTTON
//   sleep MILLISECONDS
//
// FORM is a window class (Tform1, TForm3, TForm2) or a caption pattern with * and ?.
// C is a control: FORM.Name as control_ids.h names it, or Name alone for the main window.
// Rectangles print as "left top width height": client areas and frames in screen
// coordinates, controls relative to their form's client area.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/win32/control_ids.h"

namespace {

using zeb::ui::ControlName;

struct Failure {
  std::string reason;
};

struct Usage {
  std::string reason;
};

constexpr double kDefaultWaitSeconds = 20;
constexpr int kPollMs = 100;
constexpr double kControlGraceSeconds = 2;
constexpr char kMessageBoxClass[] = "#32770";

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

std::string TextOf(HWND window) {
  std::vector<char> buffer(65536);
  // WM_GETTEXT reaches into the other process; GetWindowText would not for its controls.
  const LRESULT length = SendMessageA(window, WM_GETTEXT, buffer.size(),
                                      reinterpret_cast<LPARAM>(buffer.data()));
  return std::string(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

bool WildcardMatch(const char* pattern, const char* text) {
  if (*pattern == '\0') return *text == '\0';
  if (*pattern == '*')
    return WildcardMatch(pattern + 1, text) || (*text && WildcardMatch(pattern, text + 1));
  return *text && (*pattern == '?' || *pattern == *text) && WildcardMatch(pattern + 1, text + 1);
}

bool IsPattern(const std::string& form) { return form.find_first_of("*? ") != std::string::npos; }

// The top-level windows that match FORM; only those on screen when `visibleOnly`.
std::vector<HWND> FindForms(const std::string& form, bool visibleOnly) {
  struct Search {
    std::string form;
    bool visibleOnly;
    std::vector<HWND> found;
  } search{form, visibleOnly, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (s->visibleOnly && !IsWindowVisible(window)) return TRUE;
        const bool match = IsPattern(s->form)
                               ? WildcardMatch(s->form.c_str(), TextOf(window).c_str())
                               : ClassOf(window) == s->form;
        if (match) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The window on screen when there is one: a hidden window of the same class (a program
// still ending, say) must not stand in for the one the test is working.
HWND FindForm(const std::string& form) {
  const std::vector<HWND> shown = FindForms(form, true);
  if (!shown.empty()) return shown.front();
  const std::vector<HWND> found = FindForms(form, false);
  if (found.empty()) throw Failure{"no window " + form};
  return found.front();
}

bool WaitFor(double seconds, const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > seconds * 1000) return false;
    Sleep(kPollMs);
  }
  return true;
}

HWND FindDescendant(HWND parent, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (GetDlgCtrlID(window) != s->id) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int ChildCount(HWND parent) {
  int count = 0;
  EnumChildWindows(
      parent,
      [](HWND, LPARAM data) -> BOOL {
        ++*reinterpret_cast<int*>(data);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

struct Control {
  HWND form;
  HWND window;
};

Control FindControl(const std::string& spec) {
  const std::size_t dot = spec.find('.');
  const std::string form = dot == std::string::npos ? zeb::ui::kMainClass : spec.substr(0, dot);
  const std::string name = dot == std::string::npos ? spec : spec.substr(dot + 1);
  const ControlName* control = zeb::ui::FindControlName(form.c_str(), name.c_str());
  if (!control) throw Usage{"unknown control " + spec};
  // Looked for again for a moment before giving up: under load a query can come while the
  // program is still making or placing a form's controls.
  HWND formWindow = nullptr;
  HWND window = nullptr;
  WaitFor(kControlGraceSeconds, [&] {
    formWindow = FindForm(form);
    window = FindDescendant(formWindow, control->id);
    return window != nullptr;
  });
  if (!window)
    throw Failure{"no control " + spec + " in the " +
                  (IsWindowVisible(formWindow) ? "shown" : "hidden") + " window " + form +
                  " of " + std::to_string(ChildCount(formWindow)) + " controls"};
  return {formWindow, window};
}

std::string ControlNameOf(HWND form, HWND window) {
  const std::string formClass = ClassOf(form);
  const int id = GetDlgCtrlID(window);
  for (const ControlName& control : zeb::ui::kControlNames)
    if (formClass == control.form && control.id == id) return control.name;
  return "#" + std::to_string(id);
}

std::string RectText(const RECT& rect) {
  return std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
         std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top);
}

void Print(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// Line breaks of multi-line texts print as the two characters \n.
std::string OneLine(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

HWND MessageBoxWindow() {
  std::vector<HWND> boxes = FindForms(kMessageBoxClass, true);
  if (boxes.empty()) throw Failure{"no message box on screen"};
  return boxes.front();
}

// A message box's text: its static controls that hold text (the icon's holds none).
std::string MessageBoxText(HWND box) {
  std::string text;
  EnumChildWindows(
      box,
      [](HWND window, LPARAM data) -> BOOL {
        const std::string content = TextOf(window);
        if (ClassOf(window) == "Static" && !content.empty()) {
          auto* out = reinterpret_cast<std::string*>(data);
          if (!out->empty()) *out += "\n";
          *out += content;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&text));
  return text;
}

std::string WithoutAmpersands(std::string text) {
  std::string out;
  for (char c : text)
    if (c != '&') out += c;
  return out;
}

void PressMessageBoxButton(const std::string& caption) {
  HWND box = MessageBoxWindow();
  struct Search {
    std::string caption;
    HWND found;
  } search{caption, nullptr};
  EnumChildWindows(
      box,
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (ClassOf(window) == "Button" && WithoutAmpersands(TextOf(window)) == s->caption) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  if (!search.found) throw Failure{"no button " + caption + " in the message box"};
  PostMessageA(search.found, BM_CLICK, 0, 0);
}

// The list line's top in the list's client area; the line must be in view. A line past the
// last one is the empty room below it.
int LineTop(HWND list, int line) {
  if (line < 0) throw Failure{"no line " + std::to_string(line)};
  const LRESULT top = SendMessageA(list, LB_GETTOPINDEX, 0, 0);
  const LRESULT height = SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
  return static_cast<int>((line - top) * height);
}

void PostClick(HWND window, int x, int y, bool doubleClick) {
  const LPARAM at = MAKELPARAM(x, y);
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(window, WM_LBUTTONUP, 0, at);
  if (!doubleClick) return;
  PostMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  PostMessageA(window, WM_LBUTTONUP, 0, at);
}

// Wine hands LB_GETTEXT across processes in UTF-16 whichever way it was asked for, so ask
// for that and convert to the ANSI code page the program works in.
std::string LineText(HWND list, LRESULT line) {
  const LRESULT capacity = SendMessageW(list, LB_GETTEXTLEN, line, 0);
  std::vector<wchar_t> wide(capacity > 0 ? static_cast<std::size_t>(capacity) + 1 : 1);
  const LRESULT length =
      SendMessageW(list, LB_GETTEXT, line, reinterpret_cast<LPARAM>(wide.data()));
  if (length <= 0) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(length), nullptr, 0,
                                       nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(length), text.data(), size, nullptr,
                      nullptr);
  return text;
}

void ShowList(HWND list) {
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  Print(std::to_string(count));
  for (LRESULT line = 0; line < count; ++line) {
    const bool ticked = SendMessageA(list, LB_GETITEMDATA, line, 0) != 0;
    Print(std::to_string(line) + "\t" + (ticked ? "1" : "0") + "\t" + LineText(list, line));
  }
}

void ShowTabOrder(const std::string& form) {
  HWND window = FindForm(form);
  HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
  std::string order;
  for (HWND control = first; control;) {
    order += (order.empty() ? "" : " ") + ControlNameOf(window, control);
    control = GetNextDlgTabItem(window, control, FALSE);
    if (control == first) break;
  }
  Print(order);
}

class Arguments {
 public:
  Arguments(int count, char** values) : values_(values + 1, values + count) {}
  bool empty() const { return next_ >= values_.size(); }
  std::string Take(const char* what) {
    if (empty()) throw Usage{std::string("missing ") + what};
    return values_[next_++];
  }
  // An optional number of seconds: taken only when the next argument is a number.
  double Seconds() {
    if (empty()) return kDefaultWaitSeconds;
    char* end = nullptr;
    const double value = std::strtod(values_[next_].c_str(), &end);
    if (end == values_[next_].c_str() || *end != '\0') return kDefaultWaitSeconds;
    ++next_;
    return value;
  }
  int Number(const char* what) { return std::atoi(Take(what).c_str()); }

 private:
  std::vector<std::string> values_;
  std::size_t next_ = 0;
};

bool IsChecked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void RunCommand(const std::string& command, Arguments& args) {
  if (command == "wait-window") {
    const std::string form = args.Take("window");
    const double seconds = args.Seconds();
    HWND found = nullptr;
    if (!WaitFor(seconds, [&] {
          std::vector<HWND> forms = FindForms(form, true);
          found = forms.empty() ? nullptr : forms.front();
          // On screen with its controls made, so that the queries after this find them.
          return found != nullptr && ChildCount(found) > 0;
        }))
      throw Failure{"window " + form + " did not appear"};
    Print(TextOf(found));
  } else if (command == "wait-hidden") {
    const std::string form = args.Take("window");
    if (!WaitFor(args.Seconds(), [&] { return FindForms(form, true).empty(); }))
      throw Failure{"window " + form + " is still on screen"};
  } else if (command == "caption") {
    Print(TextOf(FindForm(args.Take("window"))));
  } else if (command == "visible") {
    Print(IsWindowVisible(FindForm(args.Take("window"))) ? "1" : "0");
  } else if (command == "client") {
    HWND form = FindForm(args.Take("window"));
    RECT client{};
    GetClientRect(form, &client);
    MapWindowPoints(form, nullptr, reinterpret_cast<POINT*>(&client), 2);
    Print(RectText(client));
  } else if (command == "frame") {
    RECT frame{};
    GetWindowRect(FindForm(args.Take("window")), &frame);
    Print(RectText(frame));
  } else if (command == "close") {
    PostMessageA(FindForm(args.Take("window")), WM_CLOSE, 0, 0);
  } else if (command == "text") {
    Print(OneLine(TextOf(FindControl(args.Take("control")).window)));
  } else if (command == "enabled") {
    Print(IsWindowEnabled(FindControl(args.Take("control")).window) ? "1" : "0");
  } else if (command == "shown") {
    Print(IsWindowVisible(FindControl(args.Take("control")).window) ? "1" : "0");
  } else if (command == "checked") {
    Print(IsChecked(FindControl(args.Take("control")).window) ? "1" : "0");
  } else if (command == "rect") {
    const Control control = FindControl(args.Take("control"));
    RECT rect{};
    GetWindowRect(control.window, &rect);
    MapWindowPoints(nullptr, control.form, reinterpret_cast<POINT*>(&rect), 2);
    Print(RectText(rect));
  } else if (command == "wait-text") {
    const std::string spec = args.Take("control");
    const std::string text = args.Take("text");
    std::string last;
    if (!WaitFor(args.Seconds(), [&] {
          last = OneLine(TextOf(FindControl(spec).window));
          return last == text;
        }))
      throw Failure{spec + " reads \"" + last + "\", not \"" + text + "\""};
  } else if (command == "wait-enabled") {
    const std::string spec = args.Take("control");
    const bool wanted = args.Number("0 or 1") != 0;
    if (!WaitFor(args.Seconds(), [&] {
          return (IsWindowEnabled(FindControl(spec).window) != FALSE) == wanted;
        }))
      throw Failure{spec + (wanted ? " stays disabled" : " stays enabled")};
  } else if (command == "click") {
    HWND control = FindControl(args.Take("control")).window;
    if (ClassOf(control) == "Button") {
      PostMessageA(control, BM_CLICK, 0, 0);
    } else {
      RECT client{};
      GetClientRect(control, &client);
      PostClick(control, client.right / 2, client.bottom / 2, false);
    }
  } else if (command == "set-text") {
    const Control control = FindControl(args.Take("control"));
    const std::string text = args.Take("text");
    SendMessageA(control.window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  } else if (command == "wait-lines") {
    // One sent message per look: during a scan, which takes messages only every 100 ms or
    // so, each sent message waits for that, and reading every line would outlast the scan.
    HWND list = FindControl(args.Take("list")).window;
    const LRESULT wanted = args.Number("lines");
    if (!WaitFor(args.Seconds(), [&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) >= wanted; }))
      throw Failure{"fewer than " + std::to_string(wanted) + " lines"};
  } else if (command == "lines") {
    ShowList(FindControl(args.Take("list")).window);
  } else if (command == "tick") {
    // Sent, not posted: a tick opens nothing, and the next command must see it done.
    HWND list = FindControl(args.Take("list")).window;
    const LPARAM at = MAKELPARAM(7, LineTop(list, args.Number("line")) + 6);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
  } else if (command == "dblclick") {
    HWND list = FindControl(args.Take("list")).window;
    PostClick(list, 100, LineTop(list, args.Number("line")) + 6, true);
  } else if (command == "select") {
    HWND list = FindControl(args.Take("list")).window;
    SendMessageA(list, LB_SETCURSEL, args.Number("line"), 0);
  } else if (command == "space") {
    HWND list = FindControl(args.Take("list")).window;
    SendMessageA(list, LB_SETCURSEL, args.Number("line"), 0);
    SendMessageA(list, WM_CHAR, ' ', 0);
  } else if (command == "tab-order") {
    ShowTabOrder(args.Take("window"));
  } else if (command == "box-wait") {
    if (!WaitFor(args.Seconds(), [] { return !FindForms(kMessageBoxClass, true).empty(); }))
      throw Failure{"no message box appeared"};
  } else if (command == "box-caption") {
    Print(TextOf(MessageBoxWindow()));
  } else if (command == "box-text") {
    Print(OneLine(MessageBoxText(MessageBoxWindow())));
  } else if (command == "box-press") {
    PressMessageBoxButton(args.Take("button"));
  } else if (command == "sleep") {
    Sleep(static_cast<DWORD>(args.Number("milliseconds")));
  } else {
    throw Usage{"unknown command " + command};
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Plain \n line ends, whatever the console's text mode would make of them.
  _setmode(_fileno(stdout), _O_BINARY);
  Arguments args(argc, argv);
  std::string command;
  try {
    while (!args.empty()) {
      command = args.Take("command");
      RunCommand(command, args);
    }
  } catch (const Usage& usage) {
    std::fprintf(stderr, "zeb_driver: %s\n", usage.reason.c_str());
    return 2;
  } catch (const Failure& failure) {
    std::fprintf(stderr, "zeb_driver: %s: %s\n", command.c_str(), failure.reason.c_str());
    return 1;
  }
  return 0;
}
