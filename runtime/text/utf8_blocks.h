#pragma once

#include "text/code_path.h"

namespace zprava {

// Decoding UTF-8 a block at a time, beside the sequence-by-sequence decoder.
template <CodePath>
struct Utf8Blocks;

// The scalar path decodes every sequence by itself.
template <>
struct Utf8Blocks<CodePath::kScalar> {
  static bool DecodeTwoByteBlock(const unsigned char*&, char16_t*&) { return false; }
};

}  // namespace zprava

#if ZPRAVA_HAVE_SSE2
#include "text/utf8_blocks_sse2.h"
#endif
