#include "system/regional.h"

#include <windows.h>

#include "system/failure.h"
#include "windows/windows_text.h"

namespace zprava {
namespace {

// The user's regional settings, not the C library's locale, as every other
// Windows program shows dates.
std::u16string FormatWithUserSettings(const SYSTEMTIME& date, const wchar_t* picture) {
  wchar_t buffer[128];
  const int written =
      GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &date, picture, buffer, 128, nullptr);
  if (written <= 0) throw RuntimeFailure(FailureNumber::kInternal);
  return FromWide(std::wstring_view(buffer, static_cast<std::size_t>(written - 1)));
}

SYSTEMTIME Date(unsigned year, unsigned month, unsigned day) {
  SYSTEMTIME date{};
  date.wYear = static_cast<WORD>(year);
  date.wMonth = static_cast<WORD>(month);
  date.wDay = static_cast<WORD>(day);
  return date;
}

}  // namespace

std::u16string WeekdayName(std::chrono::weekday weekday) {
  // 1 to 7 January 2023 run from Sunday to Saturday.
  const SYSTEMTIME date = Date(2023, 1, 1 + weekday.c_encoding());
  return FormatWithUserSettings(date, L"dddd");
}

std::u16string MonthName(std::chrono::month month) {
  // With a day number in the picture Windows gives the form used after one
  // (the genitive, in Czech); the marker separates the two again.
  const SYSTEMTIME date = Date(2023, static_cast<unsigned>(month), 1);
  const std::u16string text = FormatWithUserSettings(date, L"d'|'MMMM");
  return text.substr(text.find(u'|') + 1);
}

std::u16string ToUpperCase(std::u16string_view text) {
  if (text.empty()) return {};
  const std::wstring wide = ToWide(text);
  std::wstring upper(wide.size() * 2 + 8, L'\0');
  const int written =
      LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING,
                    wide.data(), static_cast<int>(wide.size()), upper.data(),
                    static_cast<int>(upper.size()), nullptr, nullptr, 0);
  if (written <= 0) throw RuntimeFailure(FailureNumber::kInternal);
  upper.resize(static_cast<std::size_t>(written));
  return FromWide(upper);
}

}  // namespace zprava
