#pragma once

#include <string>
#include <string_view>

namespace zprava {

// Reads a regular file whole, in one pass with one open handle that is closed
// before returning. A missing file (a dangling link included) throws
// RuntimeFailure kFileNotFound; anything that is not a regular file (directory,
// FIFO, device, socket) or cannot be read throws another failure.
std::string ReadWholeFile(std::string_view name);

}  // namespace zprava
