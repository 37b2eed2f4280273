#include "notice/notice.h"
#include "runtime/file_input.h"
#include "runtime/item_reader.h"
#include "runtime/text_decoder.h"

namespace zprava {

NoticeText NoticeFromBytes(std::string_view bytes) {
  const std::u16string text = DecodeNoticeBytes(bytes);
  ItemReader reader(text);
  NoticeText notice;
  DataItem item;
  while (!reader.AtEnd()) {
    reader.ReadItem(item);
    if (notice.empty()) {
      notice = item;
    } else {
      notice += kLineBreak;
      notice += item;
    }
  }
  return notice;
}

NoticeText ReadNotice() { return NoticeFromBytes(ReadWholeFile(kNoticeFileName)); }

}  // namespace zprava
