#include "runtime/date_format.h"

#include <string>

#include "runtime/regional.h"

namespace zprava {
namespace {

std::u16string Digits(int value, std::size_t width) {
  std::u16string digits;
  for (const char c : std::to_string(value)) digits.push_back(static_cast<char16_t>(c));
  if (digits.size() < width) digits.insert(0, width - digits.size(), u'0');
  return digits;
}

std::u16string DayField(std::chrono::year_month_day date, std::size_t letters) {
  const std::chrono::weekday weekday{std::chrono::sys_days{date}};
  switch (letters) {
    case 1:
      return Digits(static_cast<int>(static_cast<unsigned>(date.day())), 1);
    case 2:
      return Digits(static_cast<int>(static_cast<unsigned>(date.day())), 2);
    case 3:
      return WeekdayName(weekday, NameLength::kAbbreviated);
    default:
      return WeekdayName(weekday, NameLength::kFull);
  }
}

std::u16string MonthField(std::chrono::year_month_day date, std::size_t letters) {
  switch (letters) {
    case 1:
      return Digits(static_cast<int>(static_cast<unsigned>(date.month())), 1);
    case 2:
      return Digits(static_cast<int>(static_cast<unsigned>(date.month())), 2);
    case 3:
      return MonthName(date.month(), NameLength::kAbbreviated);
    default:
      return MonthName(date.month(), NameLength::kFull);
  }
}

std::u16string YearField(std::chrono::year_month_day date, std::size_t letters) {
  const int year = static_cast<int>(date.year());
  return letters <= 2 ? Digits(year % 100, 2) : Digits(year, 4);
}

}  // namespace

std::u16string FormatDate(std::chrono::year_month_day date, std::u16string_view pattern) {
  std::u16string text;
  std::size_t i = 0;
  while (i < pattern.size()) {
    const char16_t letter = pattern[i];
    std::size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == letter && run < 4) ++run;
    switch (letter) {
      case u'd':
        text += DayField(date, run);
        break;
      case u'm':
        text += MonthField(date, run);
        break;
      case u'y':
        text += YearField(date, run);
        break;
      default:
        text.append(pattern.substr(i, run));
    }
    i += run;
  }
  return text;
}

}  // namespace zprava
