#pragma once
// The process command line: its arguments and the switches they name.
#include <string>
#include <string_view>
#include <vector>

namespace zeb {

// The arguments after the program name. Arguments are separated by blanks and control
// characters; a stretch in double quotes may hold blanks and loses its quotes.
std::vector<std::string> ProgramArguments(std::string_view commandLine);

// The switches, in the order every argument is tested against them.
enum class Switch {
  kStealth,
  kAuto,
  kNoPrompt,
  kNoMenu,
  kNoDesk,
  kNoIni,
  kNoReg,
  kNoExit,
  kReboot,
  kClasses,
  kMessage,
  kSearch,
  kReplace,
  kStarting,
  kQuiet,       // read before the start-up too (run_mode.h): it decides what may be shown
  kReportOnly,  // read before the start-up only: it holds even when the start-up fails
  kHelp,        // "/?"
  kAllUsers,
};

struct SwitchMatch {
  Switch which;
  std::string value;  // the text after "=", at most 255 characters, in its own case
};

constexpr std::size_t kSwitchValueLimit = 255;

// Every switch the argument matches, in the table's order; empty when it matches none.
// A plain switch matches the whole argument, an "=" switch its first characters, both
// ignoring the case of the ASCII letters.
std::vector<SwitchMatch> MatchSwitches(std::string_view argument);

// True when any argument matches `which`.
bool HasSwitch(const std::vector<std::string>& arguments, Switch which);

// The value of the last argument that starts with `name` (ASCII case ignored), whole and
// in its own case; empty when none does. For the switches our other layers read before the
// start-up ("/REPORT=", "/DIRECTORY=", ...), which the start-up's table leaves alone.
std::string LastSwitchValue(const std::vector<std::string>& arguments, std::string_view name);

}  // namespace zeb
