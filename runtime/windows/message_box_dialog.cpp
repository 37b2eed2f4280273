#include "windows/message_box_dialog.h"

#include <windows.h>

#include "system/failure.h"
#include "text/display_text.h"
#include "windows/notice_window.h"
#include "windows/windows_text.h"

namespace zprava {
namespace {

// Ends a body that was cut short.
constexpr std::u16string_view kCutMark = u"\r\n[\u2026]";

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
    // Only what can be shown is converted, so a huge notice is not held twice.
    const std::u16string_view shown = ShownPart(content.body);
    std::u16string body = ToDisplayUtf16(shown, DisplayTarget::kDialog);
    if (shown.size() < content.body.size()) body += kCutMark;
    content.body = NoticeText();
    if (!FitsMessageBox(header, body)) {
      ShowNoticeWindow(caption, header, std::move(body));
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
