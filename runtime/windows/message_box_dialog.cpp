#include "windows/message_box_dialog.h"

#include <windows.h>

#include "system/failure.h"
#include "text/display_text.h"
#include "windows/notice_window.h"
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
void ShowMessageBox(const std::u16string& caption, const std::u16string& text, DialogIcon icon) {
  const UINT style = MB_OK | IconStyle(icon) | MB_SETFOREGROUND | MB_TASKMODAL;
  if (::MessageBoxW(nullptr, AsWide(text), AsWide(caption), style) == 0) {
    throw RuntimeFailure(FailureNumber::kInternal);
  }
}

// The system's message box while the notice fits the screen in one; beyond
// that a dialog of our own, which scrolls the body and keeps OK in view.
class MessageBoxDialog final : public NoticeDialog {
 public:
  void Show(DialogContent content) override {
    const std::u16string caption = ToDisplayUtf16(content.caption, DisplayTarget::kDialog);
    const std::u16string header = ToDisplayUtf16(content.header, DisplayTarget::kDialog);
    // Converted only as far as can be measured, so that a huge notice is
    // never held twice: a longer body converts to more than that and so
    // does not fit.
    const std::u16string body =
        ToDisplayUtf16(std::u16string_view(content.body).substr(0, kMostMeasuredUnits + 1),
                       DisplayTarget::kDialog);
    if (!FitsMessageBox(header, body)) {
      ShowNoticeWindow(caption, header, std::move(content.body));
      return;
    }
    ShowMessageBox(caption, header + u"\r\n" + body, content.icon);
  }
};

}  // namespace

std::unique_ptr<NoticeDialog> OpenMessageBoxDialog(const DialogSettings&) {
  return std::make_unique<MessageBoxDialog>();
}

}  // namespace zprava
