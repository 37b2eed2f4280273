#include "regional_settings.h"

#include <windows.h>

#include <string_view>

namespace zprava {
namespace {

// The Windows name of a POSIX locale name: "cs_CZ.UTF-8" is "cs-CZ"; wine
// takes the C locale for United States English.
std::wstring WindowsLocaleName(std::string_view name) {
  if (name == "C") return L"en-US";
  std::wstring windows_name(name.begin(), name.begin() + std::min(name.find('.'), name.size()));
  for (wchar_t& c : windows_name) c = c == L'_' ? L'-' : c;
  return windows_name;
}

}  // namespace

// The user's regional settings are fixed for the life of a process, so the
// tests run once per setting, each started with it (wine takes it from
// LC_ALL).
ScopedRegionalSettings::ScopedRegionalSettings(const char* name) {
  wchar_t user[LOCALE_NAME_MAX_LENGTH] = {};
  GetUserDefaultLocaleName(user, LOCALE_NAME_MAX_LENGTH);
  available_ = WindowsLocaleName(name) == user;
}

ScopedRegionalSettings::~ScopedRegionalSettings() = default;

}  // namespace zprava
