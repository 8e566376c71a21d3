#include <gtest/gtest.h>

#include "app/command_line.h"

namespace zeb {
namespace {

using Args = std::vector<std::string>;

TEST(ProgramArgumentsTest, SkipsTheProgramNameAndSplitsAtBlanksAndControlCharacters) {
  EXPECT_EQ(ProgramArguments("zeb.exe"), Args{});
  EXPECT_EQ(ProgramArguments(""), Args{});
  EXPECT_EQ(ProgramArguments("zeb.exe /AUTO /NOPROMPT"), (Args{"/AUTO", "/NOPROMPT"}));
  EXPECT_EQ(ProgramArguments("zeb.exe  \t/AUTO\r\n/REBOOT   "), (Args{"/AUTO", "/REBOOT"}));
  // A quoted program name with blanks is one argument, and skipped.
  EXPECT_EQ(ProgramArguments("\"C:\\Program Files\\ZEB\\zeb.exe\" /STEALTH"), Args{"/STEALTH"});
}

TEST(ProgramArgumentsTest, QuotedStretchesHoldBlanksAndLoseTheirQuotes) {
  EXPECT_EQ(ProgramArguments("zeb.exe \"/MESSAGE=C:\\My Files\\hello.txt\""),
            Args{"/MESSAGE=C:\\My Files\\hello.txt"});
  EXPECT_EQ(ProgramArguments("zeb.exe /SEARCH=\"CN=Old Admin\".Acme /AUTO"),
            (Args{"/SEARCH=CN=Old Admin.Acme", "/AUTO"}));
  // An unclosed quote runs to the end; an empty pair on its own is no argument.
  EXPECT_EQ(ProgramArguments("zeb.exe \"\" /AUTO \"/SEARCH=a b"), (Args{"/AUTO", "/SEARCH=a b"}));
}

TEST(ProgramArgumentsTest, BytesAboveAsciiAreText) {
  EXPECT_EQ(ProgramArguments("zeb.exe /SEARCH=M\xFCller\xA0X"), Args{"/SEARCH=M\xFCller\xA0X"});
}

SwitchMatch Only(const std::string& argument) {
  const std::vector<SwitchMatch> matches = MatchSwitches(argument);
  EXPECT_EQ(matches.size(), 1u) << argument;
  return matches.empty() ? SwitchMatch{Switch::kAuto, "<none>"} : matches[0];
}

TEST(MatchSwitchesTest, WholeSwitchesIgnoreAsciiCase) {
  const std::pair<const char*, Switch> cases[] = {
      {"/STEALTH", Switch::kStealth}, {"/auto", Switch::kAuto},
      {"/NoPrompt", Switch::kNoPrompt}, {"/nomenu", Switch::kNoMenu},
      {"/NODESK", Switch::kNoDesk},   {"/noini", Switch::kNoIni},
      {"/NOREG", Switch::kNoReg},     {"/noexit", Switch::kNoExit},
      {"/Reboot", Switch::kReboot},   {"/CLASSES", Switch::kClasses},
  };
  for (const auto& [text, which] : cases) {
    const SwitchMatch match = Only(text);
    EXPECT_EQ(match.which, which) << text;
    EXPECT_EQ(match.value, "") << text;
  }
}

TEST(MatchSwitchesTest, ArgumentsThatAreNotExactlyASwitchMatchNothing) {
  for (const char* text : {"/AUTOX", "/STEALTH2", "AUTO", "/AUT", "-AUTO", "/SEARCH", "/REPLACE",
                           "/STARTING", "/MESSAGE", "/DIRECTORY=acme.ldif", "/TREE=ACME",
                           "/USER=Bob.Sales.Acme", "/REPORT=out.csv", "/\xC0UTO"})
    EXPECT_TRUE(MatchSwitches(text).empty()) << text;
}

TEST(MatchSwitchesTest, ValueSwitchesKeepTheValueInItsOwnCase) {
  SwitchMatch match = Only("/search=CN=Admin");
  EXPECT_EQ(match.which, Switch::kSearch);
  EXPECT_EQ(match.value, "CN=Admin");

  match = Only("/Replace=X");
  EXPECT_EQ(match.which, Switch::kReplace);
  EXPECT_EQ(match.value, "X");

  match = Only("/MESSAGE=C:\\Notes\\Hello.TXT");
  EXPECT_EQ(match.which, Switch::kMessage);
  EXPECT_EQ(match.value, "C:\\Notes\\Hello.TXT");

  match = Only("/starting=12/8/2026");
  EXPECT_EQ(match.which, Switch::kStarting);
  EXPECT_EQ(match.value, "12/8/2026");

  // Nothing after "=": the switch with an empty value.
  match = Only("/SEARCH=");
  EXPECT_EQ(match.which, Switch::kSearch);
  EXPECT_EQ(match.value, "");
  // A value may itself look like a switch.
  match = Only("/SEARCH=/AUTO");
  EXPECT_EQ(match.which, Switch::kSearch);
  EXPECT_EQ(match.value, "/AUTO");
}

TEST(MatchSwitchesTest, ValuesAreCutAt255Characters) {
  const std::string value(300, 'v');
  EXPECT_EQ(Only("/SEARCH=" + value).value, std::string(255, 'v'));
  EXPECT_EQ(Only("/SEARCH=" + std::string(255, 'w')).value, std::string(255, 'w'));
}

}  // namespace
}  // namespace zeb
