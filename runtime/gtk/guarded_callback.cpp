#include "gtk/guarded_callback.h"

#include <utility>

namespace zprava {
namespace {

// The failures of the dialog being shown. The toolkit calls back only from
// within its main loop and while a dialog is made or destroyed, all of which
// happens inside GtkNoticeDialog::Show, which holds one.
CallbackFailures* current = nullptr;

}  // namespace

CallbackFailures::CallbackFailures() : outer_(std::exchange(current, this)) {}

CallbackFailures::~CallbackFailures() { current = outer_; }

void CallbackFailures::Run(GtkDialog* dialog) {
  if (Failed()) return;
  running_ = dialog;
  gtk_dialog_run(dialog);
  running_ = nullptr;
}

void CallbackFailures::RethrowFirst() const {
  if (first_) std::rethrow_exception(first_);
}

bool CallbackFailures::Pending() noexcept { return current != nullptr && current->Failed(); }

void CallbackFailures::KeepCurrentException() noexcept {
  // A callback outside any dialog would be a fault of this program's own
  // making, with nobody to hand the failure to.
  if (current == nullptr) std::terminate();
  if (!current->first_) current->first_ = std::current_exception();
  if (current->running_ != nullptr) gtk_dialog_response(current->running_, GTK_RESPONSE_NONE);
}

}  // namespace zprava
