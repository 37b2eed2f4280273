#include "main_procedure.h"

#include <exception>
#include <new>
#include <utility>

#include "notice.h"
#include "system/failure.h"

namespace zprava {
namespace {

// A failure while the not-found notice is shown is not handled again: the
// program simply ends without a dialog.
ExitStatus HandleFailure(FailureNumber number, NoticeDialog& dialog) {
  if (number != FailureNumber::kFileNotFound) return kEndedSilently;
  try {
    ShowNotice(NoticeText(kNotFoundText), dialog);
    return kNotFoundShown;
  } catch (const std::exception&) {
    return kEndedSilently;
  }
}

}  // namespace

ExitStatus Main(NoticeDialog& dialog, std::uint64_t available_memory) {
  try {
    NoticeText notice = ReplaceSemicolons(ReadNotice(available_memory));
    // The dialog offers only OK, and OK ends the program.
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
