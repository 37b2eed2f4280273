#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace zprava {

// Formats a date with a pattern in which these runs of letters stand for
// fields, names taken from the regional settings:
//   d     day of the month, without a leading zero
//   dddd  the weekday's full name
//   mmmm  the month's full name
//   yyyy  the year in four digits
// Every other character, and every other run of those letters, is copied as
// it stands.
std::u16string FormatDate(std::chrono::year_month_day date, std::u16string_view pattern);

}  // namespace zprava
