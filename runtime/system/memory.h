#pragma once

#include <cstddef>

namespace zprava {

// Asks the system to back a large, not yet touched buffer with large pages:
// a notice of hundreds of megabytes otherwise spends much of its reading time
// in page faults. Only a hint; nothing changes where it is not taken.
void PreferLargePages(void* buffer, std::size_t bytes);

}  // namespace zprava
