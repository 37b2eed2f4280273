#pragma once

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

}  // namespace zprava
