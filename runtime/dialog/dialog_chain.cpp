#include "dialog/dialog_chain.h"

#include <utility>

#include "system/failure.h"

namespace zprava {
namespace {

class ChainedDialog final : public NoticeDialog {
 public:
  ChainedDialog(std::span<const DialogBackend> backends, DialogSettings settings)
      : backends_(backends), settings_(settings) {}

  void Show(DialogContent content) override {
    if (!backend_) backend_ = OpenFirstAvailable();
    backend_->Show(std::move(content));
  }

 private:
  std::unique_ptr<NoticeDialog> OpenFirstAvailable() const {
    for (const DialogBackend open : backends_) {
      if (std::unique_ptr<NoticeDialog> dialog = open(settings_)) return dialog;
    }
    throw RuntimeFailure(FailureNumber::kInternal);
  }

  std::span<const DialogBackend> backends_;
  DialogSettings settings_;
  std::unique_ptr<NoticeDialog> backend_;
};

}  // namespace

std::unique_ptr<NoticeDialog> MakeDialogChain(std::span<const DialogBackend> backends,
                                              DialogSettings settings) {
  return std::make_unique<ChainedDialog>(backends, settings);
}

}  // namespace zprava
