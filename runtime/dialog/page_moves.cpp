#include "dialog/page_moves.h"

#include <algorithm>

namespace zprava {

std::size_t TopAfterMove(std::size_t top, std::size_t rows, std::size_t page, PageMove move) {
  page = std::max<std::size_t>(page, 1);
  const std::size_t last_top = rows > page ? rows - page : 0;
  top = std::min(top, last_top);
  switch (move) {
    case PageMove::kNone:
      return top;
    case PageMove::kRowDown:
      return std::min(top + 1, last_top);
    case PageMove::kRowUp:
      return top > 0 ? top - 1 : 0;
    case PageMove::kPageDown:
      return std::min(top + page, last_top);
    case PageMove::kPageUp:
      return top > page ? top - page : 0;
    case PageMove::kToStart:
      return 0;
    case PageMove::kToEnd:
      return last_top;
  }
  return top;
}

std::string PagePosition(std::size_t top, std::size_t rows, std::size_t page) {
  const std::size_t last = std::min(top + std::max<std::size_t>(page, 1), rows);
  return std::to_string(std::min(top + 1, last)) + "-" + std::to_string(last) + " / " +
         std::to_string(rows);
}

}  // namespace zprava
