#include "notice/notice.h"
#include "runtime/clock.h"
#include "runtime/date_format.h"
#include "runtime/regional.h"
#include "runtime/unicode.h"

namespace zprava {
namespace {

// Upper-cases the first character only (a surrogate pair counts as one).
std::u16string CapitaliseFirst(std::u16string text) {
  if (text.empty()) return text;
  const bool pair = text.size() > 1 && IsHighSurrogate(text[0]) && IsLowSurrogate(text[1]);
  const std::size_t first_length = pair ? 2 : 1;
  return ToUpperCase(std::u16string_view(text).substr(0, first_length)) + text.substr(first_length);
}

}  // namespace

std::u16string FormatHeaderDate(std::chrono::year_month_day date) {
  return CapitaliseFirst(FormatDate(date, kHeaderDatePattern));
}

std::u16string FormatHeaderDate() { return FormatHeaderDate(LocalToday()); }

NoticeText ComposePrompt(std::u16string_view header_date, NoticeText body) {
  // The header goes in front of the body's own storage: a long notice is not copied.
  NoticeText header_line;
  header_line.reserve(kHeaderPrefix.size() + header_date.size() + kLineBreak.size());
  header_line += kHeaderPrefix;
  header_line += header_date;
  header_line += kLineBreak;
  body.insert(0, header_line);
  return body;
}

int ShowNotice(NoticeText body, MessageBox& dialog) {
  return dialog.Show(ComposePrompt(FormatHeaderDate(), std::move(body)),
                     message_box_style::kQuestion, kCaption);
}

}  // namespace zprava
