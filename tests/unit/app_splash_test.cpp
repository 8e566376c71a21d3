#include <gtest/gtest.h>

#include "app/splash.h"
#include "support/app_harness.h"

namespace zeb {
namespace {

using testing::AppHarness;
using Log = std::vector<std::string>;

TEST(SplashTest, TheHandOverShowsTheMainWindowOutsideStealthMode) {
  AppHarness h;
  h.CommandLine("/AUTO");
  h.StartUp();
  EXPECT_TRUE(h.main.timers[MainTimer::kSplashHandOver]);
  h.ClearLog();
  h.program().OnHandOverTimer();
  EXPECT_EQ(h.log, (Log{"splash hidden", "main shown", "Timer2 off"}));
  EXPECT_FALSE(h.splash.visible);
  EXPECT_TRUE(h.main.visible);
}

TEST(SplashTest, InStealthModeTheSplashStaysAndTheMainWindowIsNeverShown) {
  AppHarness h;
  h.CommandLine("/STEALTH");
  h.StartUp();
  h.ClearLog();
  h.program().OnHandOverTimer();
  EXPECT_EQ(h.log, Log{"Timer2 off"});
  EXPECT_TRUE(h.splash.visible);
  EXPECT_FALSE(h.main.visible);
}

TEST(SplashTest, AFailedClientStartUpStillHandsOverToTheMainWindow) {
  AppHarness h;
  h.directory.callsInitResult = -1;
  h.CommandLine("/STEALTH");
  h.StartUp();
  h.program().OnHandOverTimer();
  EXPECT_TRUE(h.main.visible);
  EXPECT_FALSE(h.splash.visible);
}

TEST(SplashTest, TheAboutBoxIsShownOutsideStealthModeOnly) {
  AppHarness h;
  h.StartUp();
  h.program().OnAboutClick();
  ASSERT_EQ(h.splash.aboutBoxes.size(), 1u);
  EXPECT_EQ(h.splash.aboutBoxes[0].first, "About ZEB");
  EXPECT_EQ(h.splash.aboutBoxes[0].second, kAboutText);

  AppHarness stealth;
  stealth.CommandLine("/STEALTH");
  stealth.StartUp();
  stealth.program().OnAboutClick();
  EXPECT_TRUE(stealth.splash.aboutBoxes.empty());
}

}  // namespace
}  // namespace zeb
