// The global allocation functions, replaced in the test program alone. They
// live apart from the tests: inlined beside a `new`, a free() here reads to
// the compiler as a mismatched pair.
#include "gtk/failing_allocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace zprava {
namespace {

std::atomic<bool> fail_next{false};
std::atomic<int> failed{0};

}  // namespace

void FailNextAllocation(bool fail) { fail_next = fail; }
int FailedAllocations() { return failed; }

}  // namespace zprava

void* operator new(std::size_t size) {
  if (zprava::fail_next.exchange(false)) {
    ++zprava::failed;
    throw std::bad_alloc();
  }
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return operator new(size, std::nothrow);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
