#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zprava {

// Reads a regular file whole, in one pass with one open handle that is closed
// before returning. A missing file (a dangling link included) throws
// RuntimeFailure kFileNotFound; anything that is not a regular file (directory,
// FIFO, device, socket) or cannot be read throws another failure. A file of
// more than `most_bytes`, as it stands before reading or as it turns out
// while being read (it may be growing), throws kOutOfMemory, and no more than
// `most_bytes` and one are ever held of it.
std::string ReadWholeFile(std::string_view name, std::size_t most_bytes);

}  // namespace zprava
