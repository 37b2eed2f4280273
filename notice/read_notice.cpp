#include <algorithm>

#include "notice/notice.h"
#include "runtime/file_input.h"
#include "runtime/item_reader.h"
#include "runtime/memory.h"
#include "runtime/text_decoder.h"

namespace zprava {
namespace {

// Room kept in front of the notice for the header, which is later put there
// within the same storage; while items are joined it keeps the writing clear
// of the text still to be read.
constexpr std::size_t kHeaderRoom = 64;

// Joins the items of `text` in place: `text` lies inside the notice's own
// storage, at least 64 code units plus one per delimiter behind `out`. Items
// only shrink on the way (blanks and quotes go) except where a one-unit
// delimiter becomes CR LF, so the writing stays 64 units behind the reading,
// room enough for the reader's block copies. While the notice is empty an
// item replaces it (is written to nothing); after that every item, empty ones
// included, goes on a line of its own.
std::size_t JoinItemsInPlace(char16_t* out, std::u16string_view text) {
  BasicItemReader<char16_t> reader(text);
  char16_t* next = out;
  while (!reader.AtEnd() && next == out) next = reader.CopyItemTo(next);
  while (!reader.AtEnd()) {
    *next++ = u'\r';
    *next++ = u'\n';
    next = reader.CopyItemsTo(next);
  }
  return static_cast<std::size_t>(next - out);
}

// `place_text` writes the decoded text at the pointer it is given, which has
// room for `most_units`, and returns the end of what it wrote.
template <typename PlaceText>
NoticeText BuildNotice(std::size_t most_units, std::size_t delimiters, PlaceText place_text) {
  const std::size_t room = kHeaderRoom + delimiters;
  NoticeText notice;
  notice.reserve(room + most_units);
  PreferLargePages(notice.data(), notice.capacity() * sizeof(char16_t));
  notice.resize(room + most_units);
  char16_t* text = notice.data() + room;
  char16_t* text_end = place_text(text);
  notice.resize(JoinItemsInPlace(
      notice.data(), std::u16string_view(text, static_cast<std::size_t>(text_end - text))));
  return notice;
}

}  // namespace

NoticeText NoticeFromText(std::u16string_view decoded_text) {
  return BuildNotice(
      decoded_text.size(), BasicItemReader<char16_t>::CountDelimiters(decoded_text),
      [&](char16_t* at) { return std::copy(decoded_text.begin(), decoded_text.end(), at); });
}

// The file is decoded once, straight into the notice's storage, and joined
// there: beside the file's bytes only the notice itself is ever held. Every
// delimiter byte of the file counts, whatever the encoding, so the count
// bounds the delimiters of the decoded text.
NoticeText NoticeFromBytes(std::string_view bytes) {
  return BuildNotice(bytes.size(), BasicItemReader<char>::CountDelimiters(bytes),
                     [&](char16_t* at) { return DecodeNoticeBytesTo(bytes, at); });
}

NoticeText ReadNotice() { return NoticeFromBytes(ReadWholeFile(kNoticeFileName)); }

}  // namespace zprava
