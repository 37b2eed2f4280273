#pragma once

#include <stdexcept>

namespace zprava {

// Failure numbers raised by the runtime layer. The program itself only tells
// "file not found" apart from everything else.
enum class FailureNumber : int {
  kOutOfMemory = 7,
  kFileNotFound = 53,
  kDeviceIo = 57,
  kPermissionDenied = 70,
  kPathFileAccess = 75,
  kInternal = 51,
};

// A runtime operation that can fail reports it by throwing this, and only
// Main catches it. Reading the available memory cannot fail: where the
// system says nothing, it gives the largest value.
class RuntimeFailure : public std::runtime_error {
 public:
  explicit RuntimeFailure(FailureNumber number);
  FailureNumber number() const noexcept { return number_; }

 private:
  FailureNumber number_;
};

}  // namespace zprava
