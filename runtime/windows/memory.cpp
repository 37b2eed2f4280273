#include "system/memory.h"

namespace zprava {

// Large pages on Windows need a privilege ordinary users do not hold.
void PreferLargePages(void*, std::size_t) {}

}  // namespace zprava
