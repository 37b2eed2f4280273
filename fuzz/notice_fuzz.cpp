// Raw file bytes through decoding, item reading, joining and substitution.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "notice.h"
#include "notice_from.h"
#include "text/item_reader.h"
#include "text/text_decoder.h"

namespace {

using zprava::NoticeText;

// Longer inputs reach no code that shorter ones do not (the code works in
// blocks of at most 64 units) and only make each run slower.
constexpr std::size_t kMostBytes = 4096;

void Require(bool condition) {
  if (!condition) std::abort();
}

// What the reader may drop: blanks, quotes and the delimiters themselves.
// Everything else must come out in the same order, nothing lost or added.
void KeepAllButSeparators(std::u16string_view text, std::u16string& kept) {
  kept.clear();
  for (char16_t c : text) {
    if (c != u' ' && c != u'\t' && c != u'"' && c != u',' && c != u'\r' && c != u'\n') {
      kept.push_back(c);
    }
  }
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

// The buffers of one run, kept from run to run so that the checks allocate
// nothing once they have grown.
struct Buffers {
  std::u16string text, items, joined, kept_text, kept;
};

// Reads the items one at a time and joins them the plain way into
// `buffers.joined`, as a check on the notice, which is joined in place and
// several items at a time.
void JoinItemsPlainly(Buffers& buffers) {
  const std::u16string_view text = buffers.text;
  zprava::ItemReader reader(text);
  buffers.items.clear();
  buffers.joined.clear();
  std::size_t count = 0;
  while (!reader.AtEnd()) {
    const zprava::ItemReader::Pieces item = reader.ReadPieces();
    buffers.items.append(item.quoted).append(item.unquoted);
    if (!buffers.joined.empty()) buffers.joined += u"\r\n";
    buffers.joined.append(item.quoted).append(item.unquoted);
    Require(++count <= text.size());  // every read moves forward
  }
  KeepAllButSeparators(buffers.items, buffers.kept);
  Require(buffers.kept == buffers.kept_text);
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
  static Buffers buffers;
  const std::string_view bytes(reinterpret_cast<const char*>(data), std::min(size, kMostBytes));
  buffers.text.resize(bytes.size());
  buffers.text.resize(static_cast<std::size_t>(
      zprava::DecodeNoticeBytesTo(bytes, buffers.text.data()) - buffers.text.data()));
  Require(IsWellFormedUtf16(buffers.text));
  KeepAllButSeparators(buffers.text, buffers.kept_text);
  JoinItemsPlainly(buffers);
  const NoticeText notice = zprava::NoticeFromText(buffers.text);
  Require(notice == buffers.joined);
  // Reading items in the file's own bytes must give what reading decoded text gives.
  Require(zprava::NoticeFromBytes(bytes) == notice);
  // And the scalar code path what the build's own gives.
  Require(zprava::NoticeFromBytes<zprava::CodePath::kScalar>(bytes) == notice);
  KeepAllButSeparators(notice, buffers.kept);
  Require(buffers.kept == buffers.kept_text);
  CheckSubstitution(notice);
  return 0;
}
