#pragma once
// Dates exchanged as text in the workstation's short date format.
#include <stdexcept>
#include <string>

namespace zeb {

struct Date {
  int year = 0;
  int month = 0;
  int day = 0;
  friend bool operator<(const Date& a, const Date& b) {
    if (a.year != b.year) return a.year < b.year;
    if (a.month != b.month) return a.month < b.month;
    return a.day < b.day;
  }
  friend bool operator==(const Date& a, const Date& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
  }
  friend bool operator<=(const Date& a, const Date& b) { return !(b < a); }
};

// Raised as "'%s' is not a valid date." with the offending text.
class DateError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `picture` is a Windows short date picture (d, dd, M, MM, yy, yyyy and separators).
// Day, month and year are read in the picture's order; a two-digit year is taken in the
// window of the current century used by the platform's conversion (00-29 = 2000s).
Date ParseShortDate(const std::string& text, const std::string& picture);
std::string FormatShortDate(const Date& date, const std::string& picture);

}  // namespace zeb
