// The command line: splitting into arguments and matching them against the switch table.
// Every argument is non-empty and free of separators and quotes, every switch value is at
// most 255 characters and is what follows the switch text, and a plain switch matches only
// its own text; the run flags take only the values the table allows.
#include <string>
#include <string_view>

#include "app/command_line.h"
#include "fuzz/fuzz_check.h"
#include "platform/text.h"
#include "support/app_harness.h"

namespace {

using zeb::Switch;

struct Known {
  Switch which;
  std::string_view text;
};

constexpr Known kTable[] = {
    {Switch::kStealth, "/STEALTH"},   {Switch::kAuto, "/AUTO"},
    {Switch::kNoPrompt, "/NOPROMPT"}, {Switch::kNoMenu, "/NOMENU"},
    {Switch::kNoDesk, "/NODESK"},     {Switch::kNoIni, "/NOINI"},
    {Switch::kNoReg, "/NOREG"},       {Switch::kNoExit, "/NOEXIT"},
    {Switch::kReboot, "/REBOOT"},     {Switch::kClasses, "/CLASSES"},
    {Switch::kMessage, "/MESSAGE="},  {Switch::kSearch, "/SEARCH="},
    {Switch::kReplace, "/REPLACE="},  {Switch::kStarting, "/STARTING="},
    {Switch::kQuiet, "/QUIET"},       {Switch::kReportOnly, "/REPORTONLY"},
    {Switch::kHelp, "/?"},            {Switch::kAllUsers, "/ALLUSERS"},
};

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

void CheckMatches(const std::string& argument) {
  const std::vector<zeb::SwitchMatch> matches = zeb::MatchSwitches(argument);
  std::size_t next = 0;  // matches come in the table's order, each switch at most once
  for (const zeb::SwitchMatch& match : matches) {
    while (next < std::size(kTable) && kTable[next].which != match.which) ++next;
    FUZZ_CHECK(next < std::size(kTable));
    const std::string_view text = kTable[next].text;
    ++next;
    FUZZ_CHECK(zeb::StartsWithIgnoreCase(argument, text));
    FUZZ_CHECK(match.value.size() <= zeb::kSwitchValueLimit);
    if (text.back() == '=') {
      FUZZ_CHECK(std::string_view(argument).substr(text.size()).substr(0, zeb::kSwitchValueLimit) ==
                 match.value);
    } else {
      FUZZ_CHECK(argument.size() == text.size() && match.value.empty());
    }
  }
  // Nothing the table names is missed.
  for (const Known& known : kTable) {
    const bool matches_it = known.text.back() == '='
                                ? zeb::StartsWithIgnoreCase(argument, known.text)
                                : zeb::EqualsIgnoreCase(argument, known.text);
    bool found = false;
    for (const zeb::SwitchMatch& match : matches) found = found || match.which == known.which;
    FUZZ_CHECK(found == matches_it);
  }
}

// The start-up over the same command line: a flag is on only when a switch that sets it
// was given, and the switches' combinations hold.
void CheckRunFlags(const std::string& commandLine, const std::vector<std::string>& arguments) {
  const auto given = [&](Switch which) {
    for (const std::string& argument : arguments)
      for (const zeb::SwitchMatch& match : zeb::MatchSwitches(argument))
        if (match.which == which) return true;
    return false;
  };
  zeb::testing::AppHarness harness;
  harness.system.commandLine = commandLine;
  harness.StartUp();
  const zeb::RunFlags& flags = harness.flags();
  // /QUIET runs unattended as /STEALTH does.
  const bool stealth = given(Switch::kStealth) || given(Switch::kQuiet);
  FUZZ_CHECK(flags.stealthMode == false || stealth);
  FUZZ_CHECK(!flags.autoRun || stealth || given(Switch::kAuto));
  FUZZ_CHECK(flags.promptUser || stealth || given(Switch::kNoPrompt));
  FUZZ_CHECK(!flags.noExit || given(Switch::kNoExit));
  FUZZ_CHECK(!flags.rebootAfter || given(Switch::kReboot));
  FUZZ_CHECK(!flags.searchClasses || given(Switch::kClasses));
  FUZZ_CHECK(!flags.startingDateGiven || given(Switch::kStarting));
  FUZZ_CHECK(!flags.changesMade);
  FUZZ_CHECK(!flags.stealthMode || (flags.autoRun && !flags.promptUser));
  // Without the two switches that can end the start-up, every switch given takes effect.
  if (!given(Switch::kStarting) && !given(Switch::kMessage)) {
    FUZZ_CHECK(flags.stealthMode == stealth);
    FUZZ_CHECK(flags.autoRun == (stealth || given(Switch::kAuto)));
    FUZZ_CHECK(flags.promptUser == !(stealth || given(Switch::kNoPrompt)));
    FUZZ_CHECK(flags.noExit == given(Switch::kNoExit));
    FUZZ_CHECK(flags.rebootAfter == given(Switch::kReboot));
    FUZZ_CHECK(flags.searchClasses == given(Switch::kClasses));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string commandLine(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> arguments = zeb::ProgramArguments(commandLine);
  std::size_t characters = 0;
  for (const std::string& argument : arguments) {
    FUZZ_CHECK(!argument.empty());
    characters += argument.size();
    // Quotes are taken out; blanks survive only inside them.
    FUZZ_CHECK(argument.find('"') == std::string::npos);
    CheckMatches(argument);
  }
  FUZZ_CHECK(characters <= commandLine.size());
  // Without quotes, splitting is just cutting at the separators.
  if (commandLine.find('"') == std::string::npos) {
    for (const std::string& argument : arguments)
      for (char c : argument) FUZZ_CHECK(!IsSeparator(c));
  }
  // Any single text is also tried as one argument, as a login script might pass it.
  CheckMatches(commandLine);
  CheckRunFlags(commandLine, arguments);
  return 0;
}
