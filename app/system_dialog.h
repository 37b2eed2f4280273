#pragma once

#include <memory>

#include "dialog/notice_dialog.h"

namespace zprava {

// The dialog the program shows its notice in: the first of this build's
// dialog backends that can be had when it is shown. Which backends, and in
// which order, is chosen here, a file per kind of build.
std::unique_ptr<NoticeDialog> MakeSystemDialog(DialogSettings settings);

}  // namespace zprava
