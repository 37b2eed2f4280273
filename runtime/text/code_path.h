#pragma once

// The hot loops of reading a notice (delimiter scanning, UTF-8 decoding) come
// in a plain scalar form, which every compiler builds, and in an SSE2 form
// for processors that have it. The build uses SSE2 wherever the compiler
// targets it (every x86-64 processor has it; MSVC says so with _M_X64 alone)
// unless ZPRAVA_SCALAR_ONLY asks for the scalar form everywhere. Where both
// are built, tests run both and compare them.
#if !defined(ZPRAVA_SCALAR_ONLY) && (defined(__SSE2__) || defined(_M_X64))
#define ZPRAVA_HAVE_SSE2 1
#else
#define ZPRAVA_HAVE_SSE2 0
#endif

// For the few hot-loop helpers that must not be called out of line.
#if defined(_MSC_VER)
#define ZPRAVA_ALWAYS_INLINE __forceinline
#else
#define ZPRAVA_ALWAYS_INLINE __attribute__((always_inline)) inline
#endif

namespace zprava {

enum class CodePath { kScalar, kSse2 };

inline constexpr bool kHaveSse2 = ZPRAVA_HAVE_SSE2 != 0;
inline constexpr CodePath kBuildCodePath = kHaveSse2 ? CodePath::kSse2 : CodePath::kScalar;

}  // namespace zprava
