#include <utility>

#include "notice.h"
#include "system/clock.h"
#include "system/regional.h"
#include "text/date_format.h"
#include "text/unicode.h"

namespace zprava {
namespace {

// Upper-cases the first character only (a surrogate pair counts as one).
std::u16string CapitaliseFirst(std::u16string text) {
  if (text.empty()) return text;
  const std::size_t first_length = CodePointAt(text, 0).length;
  return ToUpperCase(std::u16string_view(text).substr(0, first_length)) + text.substr(first_length);
}

// "Zpráva: " and the date.
std::u16string HeaderLine(std::u16string_view header_date) {
  std::u16string header(kHeaderPrefix);
  header += header_date;
  return header;
}

}  // namespace

std::u16string FormatHeaderDate(std::chrono::year_month_day date) {
  return CapitaliseFirst(FormatDate(date, kHeaderDatePattern));
}

void ShowNotice(NoticeText body, NoticeDialog& dialog) {
  const std::u16string header = HeaderLine(FormatHeaderDate(LocalToday()));
  dialog.Show({.caption = kCaption, .header = header, .body = std::move(body)});
}

}  // namespace zprava
