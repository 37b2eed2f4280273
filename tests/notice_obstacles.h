#pragma once

#include <functional>
#include <memory>
#include <vector>

namespace zprava {

// Something at the notice's name, in the working folder, that is not a
// readable regular file; each must end the program without a dialog.
// `place` puts it there and returns what keeps it so (an open handle, say)
// until released.
struct NoticeObstacle {
  const char* what;
  std::function<std::shared_ptr<void>()> place;
};

// The platform's kinds of obstacle.
std::vector<NoticeObstacle> NoticeObstacles();

// Makes "Zprava.ini" a link to a name that does not exist, where every user
// can make such links; false where not.
bool LinkNoticeToNowhere();

// Makes "Zprava.ini" a link to a regular file that reads longer than its
// size says (one the system makes up while it is read, of at least 512
// bytes); false where there is none.
bool LinkNoticeToFileLongerThanItsSize();

}  // namespace zprava
