#include "notice.h"

namespace zprava {

// Written as one unconditional store per character so the compiler turns it
// into vector instructions; a notice can run to hundreds of megabytes.
NoticeText ReplaceSemicolons(NoticeText text) {
  for (char16_t& c : text) c = c == u';' ? u',' : c;
  return text;
}

}  // namespace zprava
