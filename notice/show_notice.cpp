#include "notice/notice.h"
#include "runtime/clock.h"
#include "runtime/date_format.h"
#include "runtime/regional.h"

namespace zprava {
namespace {

// Upper-cases the first character only (a surrogate pair counts as one).
std::u16string CapitaliseFirst(std::u16string text) {
  if (text.empty()) return text;
  const bool pair = text.size() > 1 && text[0] >= 0xD800 && text[0] <= 0xDBFF &&
                    text[1] >= 0xDC00 && text[1] <= 0xDFFF;
  const std::size_t first_length = pair ? 2 : 1;
  return ToUpperCase(std::u16string_view(text).substr(0, first_length)) + text.substr(first_length);
}

}  // namespace

std::u16string FormatHeaderDate(std::chrono::year_month_day date) {
  return CapitaliseFirst(FormatDate(date, kHeaderDatePattern));
}

std::u16string FormatHeaderDate() { return FormatHeaderDate(LocalToday()); }

NoticeText ComposePrompt(std::u16string_view header_date, std::u16string_view body) {
  NoticeText prompt;
  prompt.reserve(kHeaderPrefix.size() + header_date.size() + kLineBreak.size() + body.size());
  prompt += kHeaderPrefix;
  prompt += header_date;
  prompt += kLineBreak;
  prompt += body;
  return prompt;
}

int ShowNotice(std::u16string_view body, MessageBox& dialog) {
  return dialog.Show(ComposePrompt(FormatHeaderDate(), body), message_box_style::kQuestion,
                     kCaption);
}

}  // namespace zprava
