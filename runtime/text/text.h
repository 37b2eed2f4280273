#pragma once

#include <string>

namespace zprava {

// Texts are sequences of 16-bit Unicode code units, positions counted in
// them; UTF-8 appears only at the display edges.
using NoticeText = std::u16string;

}  // namespace zprava
