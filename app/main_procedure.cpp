#include "app/main_procedure.h"

#include <exception>
#include <new>
#include <utility>

#include "notice/notice.h"
#include "runtime/failure.h"

namespace zprava {
namespace {

// A failure while the not-found notice is shown is not handled again: the
// program simply ends without a dialog.
ExitStatus HandleFailure(FailureNumber number, MessageBox& dialog) {
  if (number != FailureNumber::kFileNotFound) return kEndedSilently;
  try {
    ShowNotice(NoticeText(kNotFoundText), dialog);
    return kNotFoundShown;
  } catch (const std::exception&) {
    return kEndedSilently;
  }
}

}  // namespace

ExitStatus Main(MessageBox& dialog) {
  try {
    NoticeText notice = ReplaceSemicolons(ReadNotice());
    // Whatever the dialog answers, the notice has been seen and the program ends.
    ShowNotice(std::move(notice), dialog);
    return kNoticeShown;
  } catch (const RuntimeFailure& failure) {
    return HandleFailure(failure.number(), dialog);
  } catch (const std::bad_alloc&) {
    return HandleFailure(FailureNumber::kOutOfMemory, dialog);
  } catch (const std::exception&) {
    return HandleFailure(FailureNumber::kInternal, dialog);
  }
}

}  // namespace zprava
