#include "system/clock.h"

#include <windows.h>

namespace zprava {

std::chrono::year_month_day LocalToday() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return std::chrono::year{now.wYear} / std::chrono::month{now.wMonth} / std::chrono::day{now.wDay};
}

}  // namespace zprava
