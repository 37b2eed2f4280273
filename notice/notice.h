#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "dialog/notice_dialog.h"
#include "text/code_path.h"
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

// The notice held in a file's bytes, or in text already decoded: read item by
// item and joined with CR LF, empty items in front of the first text dropped.
// Every code path gives the same notice; the build's own is the default.
template <CodePath kPath = kBuildCodePath>
NoticeText NoticeFromBytes(std::string_view bytes);
template <CodePath kPath = kBuildCodePath>
NoticeText NoticeFromText(std::u16string_view decoded_text);

// Every ";" becomes "," (authors write semicolons where the notice shows commas,
// since a comma in the file ends an item). Nothing else changes.
NoticeText ReplaceSemicolons(NoticeText text);

// The header's date under the regional settings, its first letter capitalised.
std::u16string FormatHeaderDate(std::chrono::year_month_day date);

// "Zpráva: " and the date.
std::u16string HeaderLine(std::u16string_view header_date);

// Shows the body under today's dated header until the user dismisses it:
// the dialog offers nothing but OK, so returning is the answer.
void ShowNotice(NoticeText body, NoticeDialog& dialog);

}  // namespace zprava
