#pragma once

#include <cstddef>
#include <string_view>

#include "text/code_path.h"

namespace zprava {

// How far, in code units, the writing keeps behind the reading when items
// are joined in place. Copies go a block at a time and may write a block
// past an item's end; this distance keeps them clear of the text still to
// be read.
inline constexpr std::size_t kJoinLag = 64;

// Joins the items of `text` with CR LF, as ItemReader reads them, writing the
// result at `out`, in the same storage, and returning its length. While the
// result is empty an item replaces it, so empty items in front of the first
// text vanish; after that every item, empty ones included, is a line of its
// own. `text` must start kJoinLag units plus one for each of its delimiters
// (a one-unit delimiter may become CR LF) after `out`.
template <CodePath kPath = kBuildCodePath>
std::size_t JoinItemsInPlace(char16_t* out, std::u16string_view text);

}  // namespace zprava
