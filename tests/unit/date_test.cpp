#include <gtest/gtest.h>

#include "platform/date.h"

namespace zeb {
namespace {

TEST(ShortDate, ReadsFieldsInThePicturesOrder) {
  EXPECT_EQ(ParseShortDate("12/8/2026", "M/d/yyyy"), (Date{2026, 12, 8}));
  EXPECT_EQ(ParseShortDate("08.12.2026", "dd.MM.yyyy"), (Date{2026, 12, 8}));
  EXPECT_EQ(ParseShortDate("2026-12-08", "yyyy-MM-dd"), (Date{2026, 12, 8}));
  EXPECT_EQ(ParseShortDate("12/8/26", "m/d/yy"), (Date{2026, 12, 8}));
  EXPECT_EQ(ParseShortDate("1/2/99", "M/d/yy"), (Date{1999, 1, 2}));
}

TEST(ShortDate, RejectsWhatIsNotADateWithTheConversionMessage) {
  for (const char* bad : {"", "tomorrow", "13/1/2026", "2/30/2026", "1/2", "1/2/3/4", "1//2026",
                          "12345/1/1"}) {
    try {
      ParseShortDate(bad, "M/d/yyyy");
      ADD_FAILURE() << "accepted " << bad;
    } catch (const DateError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid date.");
    }
  }
  EXPECT_EQ(ParseShortDate("2/29/2028", "M/d/yyyy"), (Date{2028, 2, 29}));
  EXPECT_THROW(ParseShortDate("2/29/2027", "M/d/yyyy"), DateError);
}

TEST(ShortDate, FormatsWithThePicturesWidthsAndSeparator) {
  EXPECT_EQ(FormatShortDate({2026, 12, 8}, "M/d/yyyy"), "12/8/2026");
  EXPECT_EQ(FormatShortDate({2026, 3, 8}, "dd.MM.yyyy"), "08.03.2026");
  EXPECT_EQ(FormatShortDate({2026, 3, 8}, "m/d/yy"), "3/8/26");
  EXPECT_TRUE(Date({2026, 3, 8}) < Date({2026, 3, 9}));
  EXPECT_TRUE(Date({2025, 12, 31}) < Date({2026, 1, 1}));
}

}  // namespace
}  // namespace zeb
