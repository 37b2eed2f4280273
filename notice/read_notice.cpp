#include <algorithm>

#include "join_items.h"
#include "notice.h"
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
  return BuildNotice<kPath>(bytes.size(), DelimiterScan<kPath>::Count(bytes),
                            [&](char16_t* at) { return DecodeNoticeBytesTo<kPath>(bytes, at); });
}

template NoticeText NoticeFromText<CodePath::kScalar>(std::u16string_view);
template NoticeText NoticeFromBytes<CodePath::kScalar>(std::string_view);
#if ZPRAVA_HAVE_SSE2
template NoticeText NoticeFromText<CodePath::kSse2>(std::u16string_view);
template NoticeText NoticeFromBytes<CodePath::kSse2>(std::string_view);
#endif

NoticeText ReadNotice() { return NoticeFromBytes(ReadWholeFile(kNoticeFileName)); }

}  // namespace zprava
