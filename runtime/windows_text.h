#pragma once

#include <string>
#include <string_view>

namespace zprava {

// Windows' wide strings are UTF-16, as our texts are: only the type differs.
inline std::wstring ToWide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

inline std::u16string FromWide(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace zprava
