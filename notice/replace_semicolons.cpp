#include <algorithm>

#include "notice/notice.h"

namespace zprava {

NoticeText ReplaceSemicolons(NoticeText text) {
  std::replace(text.begin(), text.end(), u';', u',');
  return text;
}

}  // namespace zprava
