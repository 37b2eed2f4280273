#pragma once
// The notice program's steps without the file or the dialog, for the tests,
// the fuzz targets and the benchmarks: every code path must give the notice
// ReadNotice gives.

#include <algorithm>
#include <string>
#include <string_view>

#include "notice_storage.h"
#include "text/delimiter_scan.h"
#include "text/item_reader.h"
#include "text/text_decoder.h"

namespace zprava {

// The notice held in a file's bytes, as ReadNotice reads it.
template <CodePath kPath = kBuildCodePath>
NoticeText NoticeFromBytes(std::string_view bytes) {
  return NoticeFromCountedBytes<kPath>(bytes, DelimiterScan<kPath>::Count(bytes));
}

// The notice held in text already decoded.
template <CodePath kPath = kBuildCodePath>
NoticeText NoticeFromText(std::u16string_view text) {
  return BuildNotice<kPath>(text.size(), DelimiterScan<kPath>::Count(text),
                            [&](char16_t* at) { return std::copy(text.begin(), text.end(), at); });
}

// A file's bytes decoded as ReadNotice decodes them.
inline std::u16string DecodeNoticeBytes(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  text.resize(static_cast<std::size_t>(DecodeNoticeBytesTo(bytes, text.data()) - text.data()));
  return text;
}

// The next item's text: its quoted part and the rest put together.
inline std::u16string ReadItem(ItemReader& reader) {
  const ItemReader::Pieces pieces = reader.ReadPieces();
  return std::u16string(pieces.quoted) += pieces.unquoted;
}

}  // namespace zprava
