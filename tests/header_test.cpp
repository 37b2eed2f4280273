// The dated header under different regional settings.
#include <gtest/gtest.h>

#include <string>

#include "notice.h"
#include "regional_settings.h"

namespace zprava {
namespace {

using std::chrono::December;
using std::chrono::January;
using std::chrono::March;
using std::chrono::year;
using std::chrono::year_month_day;

struct HeaderCase {
  year_month_day date;
  std::u16string header;
};

void ExpectHeaders(const char* locale, std::initializer_list<HeaderCase> cases) {
  ScopedRegionalSettings settings(locale);
  if (!settings.available()) GTEST_SKIP() << locale << " is not in effect here";
  for (const HeaderCase& c : cases) EXPECT_EQ(FormatHeaderDate(c.date), c.header);
}

TEST(FormatHeaderDate, CLocaleGivesEnglishNames) {
  ExpectHeaders("C", {{year{2026} / December / 8, u"Tuesday 8.December 2026"},
                      {year{2027} / January / 1, u"Friday 1.January 2027"}});
}

TEST(FormatHeaderDate, CzechWeekdayIsCapitalisedMonthIsNot) {
  ExpectHeaders("cs_CZ.UTF-8", {{year{2026} / December / 8, u"Úterý 8.prosince 2026"},
                                {year{2026} / March / 4, u"Středa 4.března 2026"},
                                {year{2026} / December / 31, u"Čtvrtek 31.prosince 2026"}});
}

TEST(FormatHeaderDate, PolishAccentedFirstLetterGetsItsCapital) {
  ExpectHeaders("pl_PL.UTF-8", {{year{2026} / December / 9, u"Środa 9.grudnia 2026"}});
}

}  // namespace
}  // namespace zprava
