#include "windows/message_box_dialog.h"

#include <windows.h>

#include "system/failure.h"
#include "text/display_text.h"
#include "windows/windows_text.h"

namespace zprava {
namespace {

UINT IconStyle(DialogIcon icon) {
  switch (icon) {
    case DialogIcon::kQuestion:
      return MB_ICONQUESTION;
  }
  return 0;
}

// Brought to the front and modal to every window of the program. Only OK is
// offered, so Escape and the close control answer it too.
class MessageBoxDialog final : public NoticeDialog {
 public:
  void Show(DialogContent content) override {
    std::u16string text = ToDisplayUtf16(content.header, DisplayTarget::kDialog);
    text += u"\r\n";
    text += ToDisplayUtf16(content.body, DisplayTarget::kDialog);
    content.body = NoticeText();
    const std::u16string caption = ToDisplayUtf16(content.caption, DisplayTarget::kDialog);
    const UINT style = MB_OK | IconStyle(content.icon) | MB_SETFOREGROUND | MB_TASKMODAL;
    if (::MessageBoxW(nullptr, AsWide(text), AsWide(caption), style) == 0) {
      throw RuntimeFailure(FailureNumber::kInternal);
    }
  }
};

}  // namespace

std::unique_ptr<NoticeDialog> OpenMessageBoxDialog(const DialogSettings&) {
  return std::make_unique<MessageBoxDialog>();
}

}  // namespace zprava
