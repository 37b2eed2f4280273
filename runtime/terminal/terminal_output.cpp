#include "terminal/terminal_output.h"

#include <unistd.h>

#include <cerrno>

#include "system/failure.h"

namespace zprava {

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) throw RuntimeFailure(FailureNumber::kDeviceIo);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

}  // namespace zprava
