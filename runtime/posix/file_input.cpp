#include "system/file_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "system/failure.h"

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

// Reads until end of file; the size from fstat is only a first guess, so a
// file that grows or shrinks meanwhile is read as it then is.
std::string ReadToEnd(int fd, std::size_t expected_size) {
  std::string bytes;
  bytes.resize(expected_size + 1);  // +1 to notice growth without a second syscall round
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(bytes.size() + bytes.size() / 2 + 4096);
    ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      throw RuntimeFailure(FailureNumber::kDeviceIo);
    }
    filled += static_cast<std::size_t>(got);
  }
  bytes.resize(filled);
  return bytes;
}

}  // namespace

std::string ReadWholeFile(std::string_view name) {
  FileDescriptor file(OpenForReading(std::string(name)));
  return ReadToEnd(file.get(), RegularFileSize(file.get()));
}

}  // namespace zprava
