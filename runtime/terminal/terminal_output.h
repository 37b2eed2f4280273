#pragma once

#include <string_view>

namespace zprava {

// Writes all of `bytes` to `fd`, going on after an interrupted write.
// Throws RuntimeFailure (kDeviceIo) when the output is gone.
void WriteAll(int fd, std::string_view bytes);

}  // namespace zprava
