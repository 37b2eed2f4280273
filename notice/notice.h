#pragma once

#include <chrono>
#include <string_view>

#include "runtime/message_box.h"
#include "runtime/text.h"

namespace zprava {

inline constexpr std::string_view kNoticeFileName = "Zprava.ini";
inline constexpr std::u16string_view kNotFoundText = u"Soubor 'Zprava.ini' nenalezen.";
inline constexpr std::u16string_view kCaption = u"Tibrel";
inline constexpr std::u16string_view kHeaderPrefix = u"Zpráva: ";
inline constexpr std::u16string_view kHeaderDatePattern = u"dddd d.mmmm yyyy";
inline constexpr std::u16string_view kLineBreak = u"\r\n";

// Reads "Zprava.ini" from the current directory and joins its items into the
// notice. Throws RuntimeFailure (kFileNotFound when the file is missing).
NoticeText ReadNotice();

// The notice held in a file's bytes: decoded, read item by item and joined
// with CR LF, empty items in front of the first text dropped.
NoticeText NoticeFromBytes(std::string_view bytes);
NoticeText NoticeFromText(std::u16string_view decoded_text);

// Every ";" becomes "," (authors write semicolons where the notice shows commas,
// since a comma in the file ends an item). Nothing else changes.
NoticeText ReplaceSemicolons(NoticeText text);

// The header's date under the regional settings, its first letter capitalised.
std::u16string FormatHeaderDate(std::chrono::year_month_day date);
std::u16string FormatHeaderDate();  // today

// "Zpráva: " + header date + CR LF + body.
NoticeText ComposePrompt(std::u16string_view header_date, NoticeText body);

// Shows the body under today's dated header; returns the dialog's result code.
int ShowNotice(NoticeText body, MessageBox& dialog);

}  // namespace zprava
