#include "app/command_line.h"

#include "platform/text.h"

namespace zeb {
namespace {

// Blanks and control characters separate arguments; bytes above 127 are text.
bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

struct SwitchText {
  Switch which;
  std::string_view text;  // ends in "=" when the argument carries a value
};

constexpr SwitchText kSwitches[] = {
    {Switch::kStealth, "/STEALTH"},   {Switch::kAuto, "/AUTO"},
    {Switch::kNoPrompt, "/NOPROMPT"}, {Switch::kNoMenu, "/NOMENU"},
    {Switch::kNoDesk, "/NODESK"},     {Switch::kNoIni, "/NOINI"},
    {Switch::kNoReg, "/NOREG"},       {Switch::kNoExit, "/NOEXIT"},
    {Switch::kReboot, "/REBOOT"},     {Switch::kClasses, "/CLASSES"},
    {Switch::kMessage, "/MESSAGE="},  {Switch::kSearch, "/SEARCH="},
    {Switch::kReplace, "/REPLACE="},  {Switch::kStarting, "/STARTING="},
    {Switch::kQuiet, "/QUIET"},       {Switch::kReportOnly, "/REPORTONLY"},
    {Switch::kHelp, "/?"},
    {Switch::kAllUsers, "/ALLUSERS"},
};

}  // namespace

std::vector<std::string> ProgramArguments(std::string_view commandLine) {
  std::vector<std::string> arguments;
  std::size_t i = 0;
  while (i < commandLine.size()) {
    while (i < commandLine.size() && IsSeparator(commandLine[i])) ++i;
    if (i == commandLine.size()) break;
    std::string argument;
    while (i < commandLine.size() && !IsSeparator(commandLine[i])) {
      if (commandLine[i] == '"') {
        ++i;
        while (i < commandLine.size() && commandLine[i] != '"') argument += commandLine[i++];
        if (i < commandLine.size()) ++i;  // the closing quote; an open one runs to the end
      } else {
        argument += commandLine[i++];
      }
    }
    arguments.push_back(std::move(argument));
  }
  // The first is the program's own name. An argument that was only "" matches nothing.
  std::vector<std::string> result;
  for (std::size_t k = 1; k < arguments.size(); ++k)
    if (!arguments[k].empty()) result.push_back(std::move(arguments[k]));
  return result;
}

std::vector<SwitchMatch> MatchSwitches(std::string_view argument) {
  std::vector<SwitchMatch> matches;
  const std::string upper = UpperAscii(argument);
  for (const SwitchText& entry : kSwitches) {
    if (entry.text.back() == '=') {
      if (upper.compare(0, entry.text.size(), entry.text) == 0)
        matches.push_back(
            {entry.which, Cut(argument.substr(entry.text.size()), kSwitchValueLimit)});
    } else if (upper == entry.text) {
      matches.push_back({entry.which, std::string()});
    }
  }
  return matches;
}

bool HasSwitch(const std::vector<std::string>& arguments, Switch which) {
  for (const std::string& argument : arguments)
    for (const SwitchMatch& match : MatchSwitches(argument))
      if (match.which == which) return true;
  return false;
}

std::string LastSwitchValue(const std::vector<std::string>& arguments, std::string_view name) {
  std::string value;
  for (const std::string& argument : arguments)
    if (StartsWithIgnoreCase(argument, name)) value = argument.substr(name.size());
  return value;
}

}  // namespace zeb
