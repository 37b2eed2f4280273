#include "notice/notice.h"
#include "runtime/file_input.h"
#include "runtime/item_reader.h"
#include "runtime/text_decoder.h"

namespace zprava {

NoticeText NoticeFromText(std::u16string_view text) {
  ItemReader reader(text);
  NoticeText notice;
  while (!reader.AtEnd()) {
    // While the notice is empty the item replaces it (appending to nothing);
    // after that every item, empty ones included, goes on a line of its own.
    if (!notice.empty()) notice += kLineBreak;
    reader.AppendNextItem(notice);
  }
  return notice;
}

NoticeText NoticeFromBytes(std::string_view bytes) {
  return NoticeFromText(DecodeNoticeBytes(bytes));
}

NoticeText ReadNotice() {
  // Two statements, so the file's bytes are released before the items are joined.
  const std::u16string text = DecodeNoticeBytes(ReadWholeFile(kNoticeFileName));
  return NoticeFromText(text);
}

}  // namespace zprava
