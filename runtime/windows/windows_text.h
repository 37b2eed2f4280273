#pragma once

#include <string>
#include <string_view>

namespace zprava {

// Windows' wide strings are UTF-16, as our texts are: only the type differs.
inline std::wstring ToWide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

// The text itself as Windows takes it, without a copy.
inline const wchar_t* AsWide(const std::u16string& text) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16");
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::u16string FromWide(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace zprava
