#include "system/failure.h"

#include <string>

namespace zprava {

RuntimeFailure::RuntimeFailure(FailureNumber number)
    : std::runtime_error("runtime failure " + std::to_string(static_cast<int>(number))),
      number_(number) {}

}  // namespace zprava
