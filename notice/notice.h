#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "dialog/notice_dialog.h"
#include "text/text.h"

namespace zprava {

inline constexpr std::string_view kNoticeFileName = "Zprava.ini";
inline constexpr std::u16string_view kNotFoundText = u"Soubor 'Zprava.ini' nenalezen.";
inline constexpr std::u16string_view kCaption = u"Tibrel";
inline constexpr std::u16string_view kHeaderPrefix = u"Zpráva: ";
inline constexpr std::u16string_view kHeaderDatePattern = u"dddd d.mmmm yyyy";

// Reads "Zprava.ini" from the current directory and joins its items into the
// notice. Throws RuntimeFailure: kFileNotFound when the file is missing,
// kOutOfMemory, before taking the memory, when reading it would take more
// than half of `available_memory` (AvailableMemory() of the system).
NoticeText ReadNotice(std::uint64_t available_memory);

// Every ";" becomes "," (authors write semicolons where the notice shows commas,
// since a comma in the file ends an item). Nothing else changes.
NoticeText ReplaceSemicolons(NoticeText text);

// The header's date under the regional settings, its first letter capitalised.
std::u16string FormatHeaderDate(std::chrono::year_month_day date);

// Shows the body under today's dated header until the user dismisses it:
// the dialog offers nothing but OK, so returning is the answer.
void ShowNotice(NoticeText body, NoticeDialog& dialog);

}  // namespace zprava
