#pragma once

#include <string>

namespace zprava {

// Texts are sequences of 16-bit Unicode code units, as the notice format has
// always been processed; UTF-8 appears only at the display edges.
using NoticeText = std::u16string;
using DataItem = std::u16string;

}  // namespace zprava
