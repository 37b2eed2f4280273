#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace zprava {

// Names and case rules from the user's regional settings (the C library's
// locale on POSIX systems, set once at start-up).

// The weekday's full name.
std::u16string WeekdayName(std::chrono::weekday weekday);

// The month's full name as the regional settings write it after a day
// number, which some languages put in another grammatical case than the bare
// name.
std::u16string MonthName(std::chrono::month month);

std::u16string ToUpperCase(std::u16string_view text);

}  // namespace zprava
