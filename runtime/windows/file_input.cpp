#include "system/file_input.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "system/failure.h"
#include "system/read_to_end.h"

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

std::size_t ReadSome(HANDLE handle, char* buffer, std::size_t room) {
  DWORD got = 0;
  if (!ReadFile(handle, buffer, static_cast<DWORD>(std::min<std::size_t>(room, 1U << 30)), &got,
                nullptr)) {
    throw RuntimeFailure(FailureNumber::kDeviceIo);
  }
  return got;
}

}  // namespace

std::string ReadWholeFile(std::string_view name, std::size_t most_bytes) {
  FileHandle file(OpenForReading(name));
  return ReadToEnd(DiskFileSize(file.get()), most_bytes, [&](char* buffer, std::size_t room) {
    return ReadSome(file.get(), buffer, room);
  });
}

}  // namespace zprava
