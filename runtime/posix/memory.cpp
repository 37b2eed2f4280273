#include "system/memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace zprava {

void PreferLargePages(void* buffer, std::size_t bytes) {
#if defined(MADV_HUGEPAGE)
  constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
  if (bytes < 2 * kLargePage) return;
  const auto begin =
      (reinterpret_cast<std::uintptr_t>(buffer) + kLargePage - 1) & ~(kLargePage - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(buffer) + bytes) & ~(kLargePage - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)buffer;
  (void)bytes;
#endif
}

}  // namespace zprava
