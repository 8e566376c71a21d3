#include <gtest/gtest.h>

#include "contract/backend.h"
#include "platform/date.h"

namespace zeb::contract {
namespace {

TEST(SystemContract, ReportsWindowsNtAndAWindowsDirectory) {
  EXPECT_EQ(System().PlatformId(), 2);
  const std::string dir = System().WindowsDirectory();
  ASSERT_GE(dir.size(), 3u);
  EXPECT_EQ(dir.substr(1, 2), ":\\");
}

TEST(SystemContract, TodayRoundTripsThroughTheShortDateFormat) {
  const std::string picture = System().ShortDateFormat();
  ASSERT_FALSE(picture.empty());
  const Date today = System().Today();
  EXPECT_EQ(ParseShortDate(FormatShortDate(today, picture), picture), today);
}

TEST(SystemContract, UndefinedEnvironmentVariableIsAbsent) {
  EXPECT_FALSE(System().EnvironmentVariable("ZEB_SURELY_UNDEFINED_NAME").has_value());
}

}  // namespace
}  // namespace zeb::contract
