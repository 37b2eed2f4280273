#include "system/file_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "system/failure.h"
#include "system/read_to_end.h"

namespace zprava {
namespace {

FailureNumber FailureForOpenError(int error) {
  switch (error) {
    case ENOENT:
      return FailureNumber::kFileNotFound;
    case EACCES:
    case EPERM:
      return FailureNumber::kPermissionDenied;
    case ENOMEM:
      return FailureNumber::kOutOfMemory;
    default:
      return FailureNumber::kPathFileAccess;
  }
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { ::close(fd_); }
  int get() const { return fd_; }

 private:
  int fd_;
};

// O_NONBLOCK keeps a FIFO without a writer from blocking the open; the type
// check right after it refuses FIFOs and devices before anything is read.
int OpenForReading(const std::string& name) {
  int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) throw RuntimeFailure(FailureForOpenError(errno));
  return fd;
}

std::size_t RegularFileSize(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    throw RuntimeFailure(FailureNumber::kPathFileAccess);
  }
  return static_cast<std::size_t>(info.st_size);
}

// One read, repeated when a signal interrupts it.
std::size_t ReadSome(int fd, char* buffer, std::size_t room) {
  for (;;) {
    const ssize_t got = ::read(fd, buffer, room);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) throw RuntimeFailure(FailureNumber::kDeviceIo);
  }
}

}  // namespace

std::string ReadWholeFile(std::string_view name, std::size_t most_bytes) {
  FileDescriptor file(OpenForReading(std::string(name)));
  return ReadToEnd(RegularFileSize(file.get()), most_bytes, [&](char* buffer, std::size_t room) {
    return ReadSome(file.get(), buffer, room);
  });
}

}  // namespace zprava
