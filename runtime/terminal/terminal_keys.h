#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dialog/page_moves.h"

namespace zprava {

// What a key read from a terminal asks of the paged dialog.
enum class PagerKey { kNone, kMove, kClose };

struct KeySequence {
  std::string bytes;  // as the terminal sends it
  PageMove move;
};

struct DecodedKey {
  PagerKey key = PagerKey::kNone;
  PageMove move = PageMove::kNone;
  std::size_t used = 0;  // bytes taken; 0 when more must come to tell
};

// The keys the pager knows, given the terminal's own sequences for the
// arrows, Page Down, Page Up, Home and End: those, and the sequences
// terminals commonly send for the same keys whatever their description says.
std::vector<KeySequence> PagerKeys(std::span<const KeySequence> terminal_keys);

// The key at the start of `pending`, bytes read from the terminal. Enter,
// Escape and q close; Space pages down. An Escape alone is told from the
// start of a sequence only when nothing more has come (`more_may_come`
// false): then it closes. A sequence the pager does not know is taken whole
// and ignored, as is any other byte.
DecodedKey DecodeKey(std::string_view pending, std::span<const KeySequence> keys,
                     bool more_may_come);

}  // namespace zprava
