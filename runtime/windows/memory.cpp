#include "system/memory.h"

#include <windows.h>

#include <limits>

namespace zprava {

// Large pages on Windows need a privilege ordinary users do not hold.
void PreferLargePages(void*, std::size_t) {}

std::uint64_t AvailableMemory() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return std::numeric_limits<std::uint64_t>::max();
  return status.ullAvailPhys;
}

}  // namespace zprava
