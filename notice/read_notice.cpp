#include <algorithm>
#include <cstdint>

#include "join_items.h"
#include "notice.h"
#include "system/failure.h"
#include "system/file_input.h"
#include "system/memory.h"
#include "text/delimiter_scan.h"
#include "text/text_decoder.h"

namespace zprava {
namespace {

// The notice is built in one storage: `place_text` writes the decoded text,
// at most `most_units` long, at the pointer it is given and returns its end;
// the items are then joined in place in front of it. `delimiters` bounds the
// delimiters of the decoded text.
template <CodePath kPath, typename PlaceText>
NoticeText BuildNotice(std::size_t most_units, std::size_t delimiters, PlaceText place_text) {
  const std::size_t room = kJoinLag + delimiters;
  NoticeText notice;
  notice.reserve(room + most_units);
  PreferLargePages(notice.data(), notice.capacity() * sizeof(char16_t));
  notice.resize(room + most_units);
  char16_t* text = notice.data() + room;
  char16_t* text_end = place_text(text);
  notice.resize(JoinItemsInPlace<kPath>(
      notice.data(), std::u16string_view(text, static_cast<std::size_t>(text_end - text))));
  return notice;
}

template <CodePath kPath>
NoticeText NoticeFromCountedBytes(std::string_view bytes, std::size_t delimiters) {
  return BuildNotice<kPath>(bytes.size(), delimiters,
                            [&](char16_t* at) { return DecodeNoticeBytesTo<kPath>(bytes, at); });
}

// The most memory a notice file of `file_bytes` holding `delimiters`
// delimiter bytes takes at once, which is while it is decoded and joined:
// the file's bytes (and one to see the end), and beside them the notice's
// storage, two bytes a unit for one unit a byte at most (no encoding makes
// more units than bytes) and one more unit for each delimiter and for the
// joiner's lag. The file's bytes are let go before the dialog, which holds
// little beside the notice. So 3 times the file for a file without
// delimiters, up to 5 times for one of nothing else.
std::uint64_t PeakNeed(std::uint64_t file_bytes, std::uint64_t delimiters) {
  return file_bytes + 1 + 2 * (kJoinLag + delimiters + file_bytes);
}

// The largest file that may fit `budget`: one without a single delimiter.
std::size_t LargestFileWithin(std::uint64_t budget) {
  const std::uint64_t least_need = PeakNeed(0, 0);
  return budget < least_need ? 0 : static_cast<std::size_t>((budget - least_need) / 3);
}

}  // namespace

template <CodePath kPath>
NoticeText NoticeFromText(std::u16string_view decoded_text) {
  return BuildNotice<kPath>(
      decoded_text.size(), DelimiterScan<kPath>::Count(decoded_text),
      [&](char16_t* at) { return std::copy(decoded_text.begin(), decoded_text.end(), at); });
}

// The file is decoded once, straight into the notice's storage, and joined
// there: beside the file's bytes only the notice itself is ever held. Every
// delimiter byte of the file counts, whatever the encoding, so the count
// bounds the delimiters of the decoded text.
template <CodePath kPath>
NoticeText NoticeFromBytes(std::string_view bytes) {
  return NoticeFromCountedBytes<kPath>(bytes, DelimiterScan<kPath>::Count(bytes));
}

template NoticeText NoticeFromText<CodePath::kScalar>(std::u16string_view);
template NoticeText NoticeFromBytes<CodePath::kScalar>(std::string_view);
#if ZPRAVA_HAVE_SSE2
template NoticeText NoticeFromText<CodePath::kSse2>(std::u16string_view);
template NoticeText NoticeFromBytes<CodePath::kSse2>(std::string_view);
#endif

// A notice is read only when it fits in half of what the system can give:
// the rest is left to the desktop the user is logging in to, so that a
// notice never pushes it into swap or makes the system end a process to
// free memory. The file's size alone settles most cases before anything is
// read; a file that fits that way is held to its delimiters once read.
NoticeText ReadNotice(std::uint64_t available_memory) {
  const std::uint64_t budget = available_memory / 2;
  const std::string bytes = ReadWholeFile(kNoticeFileName, LargestFileWithin(budget));
  const std::size_t delimiters = DelimiterScan<kBuildCodePath>::Count(std::string_view(bytes));
  if (PeakNeed(bytes.size(), delimiters) > budget) {
    throw RuntimeFailure(FailureNumber::kOutOfMemory);
  }
  return NoticeFromCountedBytes<kBuildCodePath>(bytes, delimiters);
}

}  // namespace zprava
