#include "platform/date.h"

#include <cctype>
#include <vector>

#include "platform/text.h"

namespace zeb {
namespace {

enum class Field { kDay, kMonth, kYear };

struct Picture {
  std::vector<Field> order;   // the three fields in the picture's order
  std::vector<int> widths;    // the picture's letter counts, for formatting
  std::string separator = "/";
};

Picture ReadPicture(const std::string& picture) {
  Picture out;
  std::string separator;
  for (std::size_t i = 0; i < picture.size();) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(picture[i])));
    if (c == 'd' || c == 'm' || c == 'y') {
      std::size_t j = i;
      while (j < picture.size() &&
             std::tolower(static_cast<unsigned char>(picture[j])) == c)
        ++j;
      out.order.push_back(c == 'd' ? Field::kDay : c == 'm' ? Field::kMonth : Field::kYear);
      out.widths.push_back(static_cast<int>(j - i));
      i = j;
    } else {
      if (out.order.size() == 1 && picture[i] != '\'') separator += picture[i];
      ++i;
    }
  }
  if (!separator.empty()) out.separator = separator;
  if (out.order.size() != 3) {  // a picture we cannot read: month/day/year
    out.order = {Field::kMonth, Field::kDay, Field::kYear};
    out.widths = {1, 1, 4};
  }
  return out;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

Date ParseShortDate(const std::string& text, const std::string& picture) {
  const auto invalid = [&] { return DateError("'" + text + "' is not a valid date."); };
  const Picture pic = ReadPicture(picture);
  // The numbers of the text, separated by anything that is not a digit (blanks allowed).
  std::vector<std::string> numbers;
  std::string current;
  for (char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c))) {
      current += c;
    } else if (c == ' ' && current.empty()) {
      continue;
    } else {
      if (current.empty()) throw invalid();
      numbers.push_back(current);
      current.clear();
      if (c == ' ') continue;
    }
  }
  if (!current.empty()) numbers.push_back(current);
  if (numbers.size() != 3) throw invalid();
  Date date;
  for (std::size_t i = 0; i < 3; ++i) {
    if (numbers[i].size() > 4) throw invalid();
    const int value = std::stoi(numbers[i]);
    switch (pic.order[i]) {
      case Field::kDay: date.day = value; break;
      case Field::kMonth: date.month = value; break;
      case Field::kYear:
        date.year = value;
        if (numbers[i].size() <= 2) date.year += value < 30 ? 2000 : 1900;
        break;
    }
  }
  if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > DaysInMonth(date.year, date.month))
    throw invalid();
  return date;
}

std::string FormatShortDate(const Date& date, const std::string& picture) {
  const Picture pic = ReadPicture(picture);
  std::string out;
  for (std::size_t i = 0; i < 3; ++i) {
    if (i > 0) out += pic.separator;
    const int width = pic.widths[i];
    std::string number;
    switch (pic.order[i]) {
      case Field::kDay: number = std::to_string(date.day); break;
      case Field::kMonth: number = std::to_string(date.month); break;
      case Field::kYear:
        number = std::to_string(width <= 2 ? date.year % 100 : date.year);
        break;
    }
    const std::size_t want = pic.order[i] == Field::kYear ? (width <= 2 ? 2 : 4) : width;
    while (number.size() < want) number = "0" + number;
    out += number;
  }
  return out;
}

}  // namespace zeb
