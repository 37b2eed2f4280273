#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace zprava {

// Formats a date with a pattern of the letters d, m and y:
//   d / dd     day of the month, without / with a leading zero
//   ddd / dddd weekday name, abbreviated / full
//   m / mm     month number, without / with a leading zero
//   mmm / mmmm month name, abbreviated / full
//   yy / yyyy  year in two / four digits
// Every other character is copied as it stands. Names come from the regional settings.
std::u16string FormatDate(std::chrono::year_month_day date, std::u16string_view pattern);

}  // namespace zprava
