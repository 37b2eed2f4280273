#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace zprava {

// Style values of a message box: a button set plus an icon.
namespace message_box_style {
inline constexpr int kOkOnly = 0;
inline constexpr int kCritical = 16;
inline constexpr int kQuestion = 32;
inline constexpr int kExclamation = 48;
inline constexpr int kInformation = 64;
inline constexpr int kIconMask = 0x70;
}  // namespace message_box_style

inline constexpr int kResultOk = 1;

// A modal message dialog. Only the OK button set is offered, so every way of
// dismissing it (OK, Enter, Escape, the close control) answers OK.
class MessageBox {
 public:
  virtual ~MessageBox() = default;
  // Shows `prompt` as plain text (CR LF breaks lines), blocks until the
  // dialog is dismissed and returns the code of the button that closed it.
  // Throws RuntimeFailure when the dialog cannot be shown. The prompt is
  // handed over, so a backend can let go of it once it holds its own copy.
  virtual int Show(std::u16string prompt, int style, std::u16string_view caption) = 0;
};

// The desktop's dialog where a display can be opened, otherwise the terminal.
// The display is opened on the first Show, so a run that shows nothing never
// touches it. Losing the display while a dialog is open ends the process at
// once with `exit_status_on_lost_display`.
std::unique_ptr<MessageBox> MakeSystemMessageBox(int exit_status_on_lost_display);

// Backends behind MakeSystemMessageBox; the toolkit's is nullptr without a display.
std::unique_ptr<MessageBox> TryOpenToolkitMessageBox(int exit_status_on_lost_display);
std::unique_ptr<MessageBox> MakeTerminalMessageBox(int input_fd, int output_fd);

}  // namespace zprava
