#pragma once

#include <cstddef>
#include <string>

namespace zprava {

// What a reader asks of a view shown a page at a time.
enum class PageMove { kNone, kRowDown, kRowUp, kPageDown, kPageUp, kToStart, kToEnd };

// The first row of the page, for `rows` rows shown `page` at a time, after
// `move` from the page that starts at `top`. The last page is always full,
// so the end of the text sits at the bottom rather than alone at the top; a
// page down from it, or up from the first, stays. kNone only brings a top
// that no longer fits (the text or the screen changed) back into range.
std::size_t TopAfterMove(std::size_t top, std::size_t rows, std::size_t page, PageMove move);

// Where the reader is: "first-last / rows", counted from 1, in numbers
// alone so that it reads the same in any language.
std::string PagePosition(std::size_t top, std::size_t rows, std::size_t page);

}  // namespace zprava
