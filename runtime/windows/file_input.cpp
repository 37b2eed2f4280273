#include "system/file_input.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "system/failure.h"

namespace zprava {
namespace {

FailureNumber FailureForError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return FailureNumber::kFileNotFound;
    case ERROR_ACCESS_DENIED:  // a directory, among others
      return FailureNumber::kPermissionDenied;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return FailureNumber::kOutOfMemory;
    default:
      return FailureNumber::kPathFileAccess;
  }
}

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { CloseHandle(handle_); }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Others may go on reading and writing the notice while it is read.
HANDLE OpenForReading(std::string_view name) {
  const std::wstring wide_name(name.begin(), name.end());  // the name is ASCII
  HANDLE handle = CreateFileW(wide_name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw RuntimeFailure(FailureForError(GetLastError()));
  return handle;
}

// Devices, pipes and consoles are refused before anything is read.
std::size_t DiskFileSize(HANDLE handle) {
  LARGE_INTEGER size{};
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size)) {
    throw RuntimeFailure(FailureNumber::kPathFileAccess);
  }
  return static_cast<std::size_t>(size.QuadPart);
}

// Reads until end of file; the size is only a first guess, so a file that
// grows or shrinks meanwhile is read as it then is.
std::string ReadToEnd(HANDLE handle, std::size_t expected_size) {
  std::string bytes(expected_size + 1, '\0');
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(bytes.size() + bytes.size() / 2 + 4096);
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - filled, 1U << 30));
    DWORD got = 0;
    if (!ReadFile(handle, bytes.data() + filled, wanted, &got, nullptr)) {
      throw RuntimeFailure(FailureNumber::kDeviceIo);
    }
    if (got == 0) break;
    filled += got;
  }
  bytes.resize(filled);
  return bytes;
}

}  // namespace

std::string ReadWholeFile(std::string_view name) {
  FileHandle file(OpenForReading(name));
  return ReadToEnd(file.get(), DiskFileSize(file.get()));
}

}  // namespace zprava
