#pragma once

#include <string>
#include <vector>

#include "text/display_rows.h"

namespace zprava {

// Every row of `rows`, in order, as text.
inline std::vector<std::u16string> AllRows(const DisplayRows& rows) {
  std::vector<std::u16string> all;
  for (std::size_t i = 0, start = 0; i < rows.Count(); ++i) {
    const DisplayRows::Row row = rows.RowAt(start);
    all.emplace_back(row.text);
    start = row.next;
  }
  return all;
}

}  // namespace zprava
