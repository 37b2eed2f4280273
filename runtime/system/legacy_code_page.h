#pragma once

#include <array>

namespace zprava {

// A code unit for each byte value, as an 8-bit code page is decoded.
using ByteTable = std::array<char16_t, 256>;

// The system's legacy 8-bit code page as a table: Windows-1250, the code
// page of Czech Windows, from the C library on POSIX systems; the ANSI code
// page of the user's Windows there. Bytes it leaves undefined map to U+FFFD.
const ByteTable& LegacyCodePageTable();

}  // namespace zprava
