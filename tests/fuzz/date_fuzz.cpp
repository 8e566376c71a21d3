// The short-date conversion: any text is a valid date or is refused with the conversion's
// message; a date read back from its own text is the same date.
#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/date.h"

namespace {

const char* const kPictures[] = {"M/d/yyyy", "dd.MM.yyyy", "yyyy-MM-dd", "dd/MM/yy",
                                 "d MMM yyyy", "yy/M/d",   "MM-dd-yyyy", "d'.'M'.'yy"};

bool IsValid(const zeb::Date& date) {
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12) return false;
  const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
  if (date.month == 2 && !leap && date.day > 28) return false;
  return date.day >= 1 && date.day <= kDays[date.month - 1];
}

// Pictures whose text reads back: each field once, at most four letters, and between the
// fields nothing that the reading would take for a number or for two separators.
bool ReadsBack(const std::string& picture, const zeb::Date& date) {
  int seen[3] = {0, 0, 0};
  int yearWidth = 0;
  std::string separator;  // what comes between the first two fields, as formatting uses it
  for (std::size_t i = 0; i < picture.size();) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(picture[i])));
    const int field = c == 'd' ? 0 : c == 'm' ? 1 : c == 'y' ? 2 : -1;
    std::size_t j = i + 1;
    if (field >= 0) {
      while (j < picture.size() && std::tolower(static_cast<unsigned char>(picture[j])) == c) ++j;
      if (j - i > 4 || ++seen[field] > 1) return false;
      if (field == 2) yearWidth = static_cast<int>(j - i);
    } else if (std::isdigit(static_cast<unsigned char>(picture[i]))) {
      return false;
    } else if (seen[0] + seen[1] + seen[2] == 1 && picture[i] != '\'') {
      separator += picture[i];
    }
    i = j;
  }
  // The reading takes one character and any blanks after it as one separator.
  if (separator.size() > 1 && separator.find_first_not_of(' ', 1) != std::string::npos)
    return false;
  const bool allThree = seen[0] == 1 && seen[1] == 1 && seen[2] == 1;
  const bool unreadable = seen[0] + seen[1] + seen[2] != 3;  // read as M/d/yyyy
  if (!allThree && !unreadable) return false;
  if (allThree && yearWidth <= 2) return date.year >= 1930 && date.year <= 2029;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string picture = input.ConsumeBool()
                                  ? kPictures[input.ConsumeIntegralInRange<std::size_t>(0, 7)]
                                  : input.ConsumeRandomLengthString(24);
  const std::string text = input.ConsumeRemainingBytesAsString();
  zeb::Date date;
  try {
    date = zeb::ParseShortDate(text, picture);
  } catch (const zeb::DateError& error) {
    // The message is a C string: a zero in the text ends it there.
    const std::string message = "'" + text + "' is not a valid date.";
    FUZZ_CHECK(error.what() == message.substr(0, message.find('\0')));
    return 0;
  }
  FUZZ_CHECK(IsValid(date));
  const std::string written = zeb::FormatShortDate(date, picture);
  if (ReadsBack(picture, date)) FUZZ_CHECK(zeb::ParseShortDate(written, picture) == date);
  return 0;
}
