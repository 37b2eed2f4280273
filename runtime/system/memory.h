#pragma once

#include <cstddef>
#include <cstdint>

namespace zprava {

// Asks the system to back a large, not yet touched buffer with large pages:
// a notice of hundreds of megabytes otherwise spends much of its reading time
// in page faults. Only a hint; nothing changes where it is not taken.
void PreferLargePages(void* buffer, std::size_t bytes);

// Bytes of memory the system can give this process now without swapping or
// taking them from another process: the physical memory it reports
// available, or less where a limit on this process's group of processes
// leaves less room. The largest value where the system says nothing.
std::uint64_t AvailableMemory();

}  // namespace zprava
