#pragma once

#include <chrono>

namespace zprava {

// The current date in the local time zone.
std::chrono::year_month_day LocalToday();

}  // namespace zprava
