#pragma once

#include <string>

namespace zprava {

// Runs a test under named regional settings ("cs_CZ.UTF-8", "C") and
// restores them afterwards. Where the platform cannot switch them inside a
// process, it reports them available only when the process was started
// with them, and the test runs once per setting.
class ScopedRegionalSettings {
 public:
  explicit ScopedRegionalSettings(const char* name);
  ~ScopedRegionalSettings();
  ScopedRegionalSettings(const ScopedRegionalSettings&) = delete;
  ScopedRegionalSettings& operator=(const ScopedRegionalSettings&) = delete;
  bool available() const { return available_; }

 private:
  std::string saved_;
  bool available_ = false;
};

}  // namespace zprava
