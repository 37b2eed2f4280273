// Raw file bytes through decoding, item reading, joining and substitution.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "notice.h"
#include "text/item_reader.h"
#include "text/text_decoder.h"

namespace {

using zprava::DataItem;
using zprava::NoticeText;

void Require(bool condition) {
  if (!condition) std::abort();
}

// What the reader may drop: blanks, quotes and the delimiters themselves.
// Everything else must come out in the same order, nothing lost or added.
std::u16string WithoutSeparators(std::u16string_view text) {
  std::u16string kept;
  for (char16_t c : text) {
    if (c != u' ' && c != u'\t' && c != u'"' && c != u',' && c != u'\r' && c != u'\n') {
      kept.push_back(c);
    }
  }
  return kept;
}

bool IsWellFormedUtf16(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] >= 0xDC00 && text[i] <= 0xDFFF) return false;
    if (text[i] >= 0xD800 && text[i] <= 0xDBFF) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      ++i;
    }
  }
  return true;
}

// Reads the items one at a time and joins them the plain way, as a check on
// the notice, which is joined in place and several items at a time.
NoticeText CheckItems(std::u16string_view text) {
  zprava::ItemReader reader(text);
  std::u16string items;
  NoticeText joined;
  std::size_t count = 0;
  while (!reader.AtEnd()) {
    const DataItem item = reader.ReadItem();
    items += item;
    if (!joined.empty()) joined += u"\r\n";
    joined += item;
    Require(++count <= text.size());  // every read moves forward
  }
  Require(WithoutSeparators(items) == WithoutSeparators(text));
  return joined;
}

void CheckSubstitution(const NoticeText& notice) {
  const NoticeText replaced = zprava::ReplaceSemicolons(notice);
  Require(replaced.size() == notice.size());
  for (std::size_t i = 0; i < notice.size(); ++i) {
    Require(replaced[i] == (notice[i] == u';' ? u',' : notice[i]));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string text = zprava::DecodeNoticeBytes(bytes);
  Require(IsWellFormedUtf16(text));
  const NoticeText joined = CheckItems(text);
  const NoticeText notice = zprava::NoticeFromText(text);
  Require(notice == joined);
  // Reading items in the file's own bytes must give what reading decoded text gives.
  Require(zprava::NoticeFromBytes(bytes) == notice);
  // And the scalar code path what the build's own gives.
  Require(zprava::NoticeFromBytes<zprava::CodePath::kScalar>(bytes) == notice);
  Require(WithoutSeparators(notice) == WithoutSeparators(text));
  CheckSubstitution(notice);
  return 0;
}
