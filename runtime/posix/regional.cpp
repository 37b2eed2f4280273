#include "system/regional.h"

#include <ctime>
#include <cwchar>
#include <cwctype>

#include "text/unicode.h"

namespace zprava {
namespace {

std::u16string FormatWithLocale(const wchar_t* conversion, const std::tm& fields) {
  wchar_t buffer[128];
  const std::size_t length = std::wcsftime(buffer, std::size(buffer), conversion, &fields);
  static_assert(sizeof(wchar_t) == sizeof(char32_t), "wide characters are UTF-32 here");
  return Utf32ToUtf16(std::u32string_view(reinterpret_cast<const char32_t*>(buffer), length));
}

}  // namespace

std::u16string WeekdayName(std::chrono::weekday weekday) {
  std::tm fields{};
  fields.tm_wday = static_cast<int>(weekday.c_encoding());
  return FormatWithLocale(L"%A", fields);
}

std::u16string MonthName(std::chrono::month month) {
  std::tm fields{};
  fields.tm_mon = static_cast<int>(static_cast<unsigned>(month)) - 1;
  return FormatWithLocale(L"%B", fields);
}

std::u16string ToUpperCase(std::u16string_view text) {
  std::u32string code_points = Utf16ToUtf32(text);
  for (char32_t& c : code_points) c = static_cast<char32_t>(std::towupper(static_cast<wint_t>(c)));
  return Utf32ToUtf16(code_points);
}

}  // namespace zprava
