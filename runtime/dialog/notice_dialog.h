#pragma once

#include <memory>
#include <string_view>

#include "text/text.h"

namespace zprava {

// What a dialog shows, as plain text: never markup, never a format.
struct DialogContent {
  std::u16string_view caption;
  std::u16string_view header;  // the first line, above the body
  NoticeText body;             // lines end at CR LF, a lone CR or a lone LF; handed over, so a
                               // backend can let go of it once it holds what it shows
};

// A modal dialog with the question icon and one OK button, the icon as the
// platform shows it in a message box. OK, Enter, Escape and the close control
// all dismiss it.
class NoticeDialog {
 public:
  virtual ~NoticeDialog() = default;
  // Blocks until the dialog is dismissed. Throws RuntimeFailure when the
  // dialog cannot be shown.
  virtual void Show(DialogContent content) = 0;
};

struct DialogSettings {
  // Losing the display while a dialog is open ends the process at once with
  // this status.
  int exit_status_on_lost_display;
};

// The first of the platform's dialog backends that can be had: GTK's where
// a display can be opened, otherwise the terminal's; on Windows, the Windows
// dialog. Nothing is opened before the first Show,
// so a run that shows nothing never touches the display.
std::unique_ptr<NoticeDialog> MakeSystemDialog(DialogSettings settings);

}  // namespace zprava
