#pragma once

namespace zprava {

// The test program's operator new fails once on request; the toolkit's
// allocations (malloc) never do.
void FailNextAllocation(bool fail);
int FailedAllocations();

}  // namespace zprava
