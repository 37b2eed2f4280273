#include "text/date_format.h"

#include <optional>
#include <string>

#include "system/regional.h"

namespace zprava {
namespace {

std::u16string Digits(int value) {
  std::u16string digits;
  for (const char c : std::to_string(value)) digits.push_back(static_cast<char16_t>(c));
  return digits;
}

// The field a run of `letters` copies of `letter` stands for, if any.
std::optional<std::u16string> Field(std::chrono::year_month_day date, char16_t letter,
                                    std::size_t letters) {
  if (letter == u'd' && letters == 1)
    return Digits(static_cast<int>(static_cast<unsigned>(date.day())));
  if (letter == u'd' && letters == 4)
    return WeekdayName(std::chrono::weekday{std::chrono::sys_days{date}});
  if (letter == u'm' && letters == 4) return MonthName(date.month());
  if (letter == u'y' && letters == 4) return Digits(static_cast<int>(date.year()));
  return std::nullopt;
}

}  // namespace

std::u16string FormatDate(std::chrono::year_month_day date, std::u16string_view pattern) {
  std::u16string text;
  for (std::size_t i = 0; i < pattern.size();) {
    std::size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == pattern[i]) ++run;
    const std::optional<std::u16string> field = Field(date, pattern[i], run);
    text += field ? std::u16string_view(*field) : pattern.substr(i, run);
    i += run;
  }
  return text;
}

}  // namespace zprava
