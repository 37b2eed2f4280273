#include <unistd.h>

#include <utility>

#include "runtime/message_box.h"

namespace zprava {
namespace {

class SystemMessageBox final : public MessageBox {
 public:
  explicit SystemMessageBox(int exit_status_on_lost_display)
      : exit_status_on_lost_display_(exit_status_on_lost_display) {}

  int Show(std::u16string prompt, int style, std::u16string_view caption) override {
    if (!backend_) backend_ = TryOpenToolkitMessageBox(exit_status_on_lost_display_);
    if (!backend_) backend_ = MakeTerminalMessageBox(STDIN_FILENO, STDOUT_FILENO);
    return backend_->Show(std::move(prompt), style, caption);
  }

 private:
  int exit_status_on_lost_display_;
  std::unique_ptr<MessageBox> backend_;
};

}  // namespace

std::unique_ptr<MessageBox> MakeSystemMessageBox(int exit_status_on_lost_display) {
  return std::make_unique<SystemMessageBox>(exit_status_on_lost_display);
}

}  // namespace zprava
