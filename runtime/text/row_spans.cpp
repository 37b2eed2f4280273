#include "text/row_spans.h"

namespace zprava {

TextSpan RowFromItsStart(const DisplayRows& rows, std::size_t at) {
  const DisplayRows::Row row = rows.RowAt(rows.Start(rows.IndexOf(at)));
  return {row.start, row.next};
}

TextSpan RowToItsEnd(const DisplayRows& rows, std::size_t at) {
  const std::size_t index = rows.IndexOf(at);
  const DisplayRows::Row row = rows.RowAt(rows.Start(index));
  std::size_t from = 0;
  if (index > 0) {
    const DisplayRows::Row before = rows.RowAt(rows.Start(index - 1));
    from = before.start + before.text.size();
  }
  return {from, row.start + row.text.size()};
}

}  // namespace zprava
