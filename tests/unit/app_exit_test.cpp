#include <gtest/gtest.h>

#include "app/program_exit.h"
#include "support/app_harness.h"

namespace zeb {
namespace {

using testing::AppHarness;
using Log = std::vector<std::string>;

class ExitTest : public ::testing::Test {
 protected:
  void Exit(bool changesMade, bool rebootAfter, bool promptUser) {
    h.StartUp();
    h.flags().changesMade = changesMade;
    h.flags().rebootAfter = rebootAfter;
    h.flags().promptUser = promptUser;
    h.ClearLog();
    h.program().OnExitClick();
  }
  AppHarness h;
};

TEST_F(ExitTest, WithoutASavedChangeUnderRebootTheProgramEndsAtOnce) {
  for (const auto& [changes, reboot] : {std::pair{false, false}, {false, true}, {true, false}}) {
    AppHarness harness;
    harness.StartUp();
    harness.flags().changesMade = changes;
    harness.flags().rebootAfter = reboot;
    harness.ClearLog();
    harness.program().OnExitClick();
    EXPECT_EQ(harness.log, Log{"end now 0"}) << changes << reboot;
    EXPECT_EQ(harness.system.restartRequests, 0);
  }
}

TEST_F(ExitTest, AfterASaveUnderRebootTheUserIsAskedAndOkRestarts) {
  Exit(true, true, true);
  EXPECT_EQ(h.log, (Log{"warning: ZEB has made changes to your workstation.\rClick OK to restart.",
                        "end now 0"}));
  EXPECT_EQ(h.system.restartRequests, 1);
}

TEST_F(ExitTest, CancelAtTheRestartQuestionEndsWithoutRestart) {
  h.view.answerOk = false;
  Exit(true, true, true);
  EXPECT_EQ(h.view.confirmations.size(), 1u);
  EXPECT_EQ(h.system.restartRequests, 0);
  EXPECT_EQ(h.control.exitCodes, std::vector<int>{0});
}

TEST_F(ExitTest, WithoutPromptsTheRestartIsRequestedWithoutAQuestion) {
  Exit(true, true, false);
  EXPECT_TRUE(h.view.confirmations.empty());
  EXPECT_EQ(h.system.restartRequests, 1);
  EXPECT_EQ(h.log, Log{"end now 0"});
}

TEST_F(ExitTest, TheExitButtonShowsTheArrowWhileFocused) {
  h.view.cursor = Cursor::kHourglass;
  h.program().OnExitFocusEnter();
  EXPECT_EQ(h.view.cursor, Cursor::kArrow);
  h.program().OnExitFocusLeave();
  EXPECT_EQ(h.view.cursor, Cursor::kDefault);
}

TEST_F(ExitTest, ClosingTheMainWindowReleasesTheClientAndEndsTheProgram) {
  h.StartUp();
  h.ClearLog();
  h.program().OnMainWindowClose();
  EXPECT_EQ(h.log, (Log{"FreeContext", "FreeUnicodeTables", "main hidden", "end requested"}));
  EXPECT_EQ(h.directory.freedContexts, std::vector<DirContextHandle>{7});
  EXPECT_TRUE(h.control.exitCodes.empty());
}

}  // namespace
}  // namespace zeb
