#pragma once

#include <cstddef>
#include <string_view>

#include "join_items.h"
#include "system/memory.h"
#include "text/code_path.h"
#include "text/text.h"
#include "text/text_decoder.h"

namespace zprava {

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

// The notice held in a file's bytes, of which `delimiters` or fewer are
// delimiters. Every delimiter byte counts, whatever the encoding, so the
// count bounds the delimiters of the decoded text. The file is decoded once,
// straight into the notice's storage, and joined there: beside the file's
// bytes only the notice itself is ever held.
template <CodePath kPath>
NoticeText NoticeFromCountedBytes(std::string_view bytes, std::size_t delimiters) {
  return BuildNotice<kPath>(bytes.size(), delimiters,
                            [&](char16_t* at) { return DecodeNoticeBytesTo<kPath>(bytes, at); });
}

}  // namespace zprava
