#include <unistd.h>

#include "runtime/message_box.h"

namespace zprava {
namespace {

class SystemMessageBox final : public MessageBox {
 public:
  int Show(std::u16string_view prompt, int style, std::u16string_view caption) override {
    if (!backend_) backend_ = TryOpenToolkitMessageBox();
    if (!backend_) backend_ = MakeTerminalMessageBox(STDIN_FILENO, STDOUT_FILENO);
    return backend_->Show(prompt, style, caption);
  }

 private:
  std::unique_ptr<MessageBox> backend_;
};

}  // namespace

std::unique_ptr<MessageBox> MakeSystemMessageBox() { return std::make_unique<SystemMessageBox>(); }

}  // namespace zprava
