#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

#include "system/failure.h"

namespace zprava {

// Reads until end of file through `read_some(buffer, room)`, which returns
// how many bytes it put at `buffer` (0 at the end). The size the file had
// before reading is only a first guess, so a file that grows or shrinks
// meanwhile is read as it then is, but never past `most_bytes`: a file that
// has more than that throws kOutOfMemory, with at most `most_bytes` and one
// bytes held.
template <typename ReadSome>
std::string ReadToEnd(std::size_t expected_size, std::size_t most_bytes, ReadSome read_some) {
  if (expected_size > most_bytes) throw RuntimeFailure(FailureNumber::kOutOfMemory);
  // One byte past the limit is the least that shows a file is over it.
  const std::size_t most_held = std::max(most_bytes, most_bytes + 1);
  std::string bytes;
  bytes.resize(expected_size + 1);  // +1 notices growth without a second round
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) {
      if (filled > most_bytes) throw RuntimeFailure(FailureNumber::kOutOfMemory);
      const std::size_t growth = bytes.size() / 2 + 4096;
      bytes.resize(most_held - bytes.size() > growth ? bytes.size() + growth : most_held);
    }
    const std::size_t got = read_some(bytes.data() + filled, bytes.size() - filled);
    if (got == 0) break;
    filled += got;
  }
  bytes.resize(filled);
  return bytes;
}

}  // namespace zprava
