#pragma once

#include <cstddef>

#include "text/display_rows.h"
#include "text/positions.h"

namespace zprava {

// What a screen reader is told of the text around `at` beside the char there
// (CharAt): the row that holds it, either from its start to the next row's
// start (with its line end) or from the end of the row before to its own end.
TextSpan RowFromItsStart(const DisplayRows& rows, std::size_t at);
TextSpan RowToItsEnd(const DisplayRows& rows, std::size_t at);

}  // namespace zprava
