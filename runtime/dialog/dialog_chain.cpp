#include <utility>

#include "dialog/dialog_backends.h"
#include "system/failure.h"

namespace zprava {
namespace {

class ChainedDialog final : public NoticeDialog {
 public:
  explicit ChainedDialog(DialogSettings settings) : settings_(settings) {}

  void Show(DialogContent content) override {
    if (!backend_) backend_ = OpenFirstAvailable();
    backend_->Show(std::move(content));
  }

 private:
  std::unique_ptr<NoticeDialog> OpenFirstAvailable() const {
    for (const DialogBackend open : PlatformDialogBackends()) {
      if (std::unique_ptr<NoticeDialog> dialog = open(settings_)) return dialog;
    }
    throw RuntimeFailure(FailureNumber::kInternal);
  }

  DialogSettings settings_;
  std::unique_ptr<NoticeDialog> backend_;
};

}  // namespace

std::unique_ptr<NoticeDialog> MakeSystemDialog(DialogSettings settings) {
  return std::make_unique<ChainedDialog>(settings);
}

}  // namespace zprava
