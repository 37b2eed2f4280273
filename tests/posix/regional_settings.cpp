#include "regional_settings.h"

#include <clocale>

namespace zprava {

// The C library's locale, which the program's regional services read.
ScopedRegionalSettings::ScopedRegionalSettings(const char* name)
    : saved_(std::setlocale(LC_ALL, nullptr)) {
  available_ = std::setlocale(LC_ALL, name) != nullptr;
}

ScopedRegionalSettings::~ScopedRegionalSettings() { std::setlocale(LC_ALL, saved_.c_str()); }

}  // namespace zprava
