#include "win32/windows_dialog.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "dialog/body_layout.h"
#include "system/failure.h"
#include "text/display_text.h"
#include "win32/dialog_metrics.h"
#include "win32/gdi_handles.h"
#include "win32/long_notice_dialog.h"
#include "windows/windows_text.h"

namespace zprava {
namespace {

// What a message box adds around its text: the icon and margins beside it,
// the caption, margins and button row above and below. Generous, so that a
// box judged to fit does.
SIZE MessageBoxFrame(UINT dpi) {
  return {IconSize(dpi) + Scale(96, dpi),
          GetSystemMetricsForDpi(SM_CYCAPTION, dpi) + IconSize(dpi) + Scale(96, dpi)};
}

std::size_t LineCount(std::u16string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\n')) + 1;
}

// Whether the system's message box shows `header` and `body` (display text,
// CR LF line ends) within the fit rule's share of the primary monitor's work
// area. Text too long to measure does not.
bool FitsMessageBox(std::u16string_view header, std::u16string_view body) {
  if (header.size() + body.size() > kMostMeasuredUnits) return false;
  const UINT dpi = GetDpiForSystem();  // a message box opens at the system's resolution
  const ScreenArea work = SizeOf(WorkArea(PrimaryMonitor()));
  const SIZE frame = MessageBoxFrame(dpi);
  const int most_width = ScreenShare(work.width) - frame.cx;
  const int most_height = ScreenShare(work.height) - frame.cy;
  const UniqueFont font = MessageFont(dpi);
  // Counting lines spares measuring what is plainly too tall.
  const std::size_t lines = LineCount(header) + LineCount(body);
  const int line_height = std::max(MeasureFont(font.get()).line_height, 1);
  if (lines * static_cast<std::size_t>(line_height) >
      static_cast<std::size_t>(std::max(most_height, 0))) {
    return false;
  }
  // Measured at half the work area's width, narrower than a message box
  // wraps its text, so the estimate errs on the tall side.
  std::u16string text(header);
  text += u"\r\n";
  text += body;
  ScreenDc dc;
  SelectedObject selected(dc.get(), font.get());
  RECT bounds{0, 0, std::min(most_width, work.width / 2), 0};
  DrawTextW(dc.get(), AsWide(text), static_cast<int>(text.size()), &bounds,
            DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_LEFT);
  return bounds.right <= most_width && bounds.bottom <= most_height;
}

// Brought to the front and modal to every window of the program. Only OK is
// offered, so Escape and the close control answer it too.
void ShowMessageBox(const std::u16string& caption, const std::u16string& text) {
  const UINT style = MB_OK | MB_ICONQUESTION | MB_SETFOREGROUND | MB_TASKMODAL;
  if (::MessageBoxW(nullptr, AsWide(text), AsWide(caption), style) == 0) {
    throw RuntimeFailure(FailureNumber::kInternal);
  }
}

// The system's message box while the notice fits the screen in one; beyond
// that a dialog of our own, which scrolls the body and keeps OK in view.
class WindowsNoticeDialog final : public NoticeDialog {
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
      ShowLongNotice(caption, header, std::move(content.body));
      return;
    }
    ShowMessageBox(caption, header + u"\r\n" + body);
  }
};

}  // namespace

std::unique_ptr<NoticeDialog> OpenWindowsDialog(const DialogSettings&) {
  return std::make_unique<WindowsNoticeDialog>();
}

}  // namespace zprava
