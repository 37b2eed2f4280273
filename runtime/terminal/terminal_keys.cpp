#include "terminal/terminal_keys.h"

#include <algorithm>

namespace zprava {
namespace {

constexpr char kEscape = '\x1B';

// The arrows, Home and End in both cursor-key modes, and the editing keys,
// as ANSI terminals send them.
const KeySequence kCommonKeys[] = {
    {"\x1B[B", PageMove::kRowDown},   {"\x1BOB", PageMove::kRowDown},
    {"\x1B[A", PageMove::kRowUp},     {"\x1BOA", PageMove::kRowUp},
    {"\x1B[6~", PageMove::kPageDown}, {"\x1B[5~", PageMove::kPageUp},
    {"\x1B[H", PageMove::kToStart},   {"\x1BOH", PageMove::kToStart},
    {"\x1B[1~", PageMove::kToStart},  {"\x1B[7~", PageMove::kToStart},
    {"\x1B[F", PageMove::kToEnd},     {"\x1BOF", PageMove::kToEnd},
    {"\x1B[4~", PageMove::kToEnd},    {"\x1B[8~", PageMove::kToEnd},
};

// The length of the escape sequence at the start of `pending`: a control
// sequence runs to its final byte, one of SS3 takes one character more;
// 0 while incomplete.
std::size_t SequenceLength(std::string_view pending) {
  if (pending.size() < 2) return 0;
  if (pending[1] == 'O') return pending.size() >= 3 ? 3 : 0;
  if (pending[1] != '[') return 2;
  for (std::size_t at = 2; at < pending.size(); ++at) {
    if (pending[at] >= 0x40 && pending[at] <= 0x7E) return at + 1;
  }
  return 0;
}

}  // namespace

std::vector<KeySequence> PagerKeys(std::span<const KeySequence> terminal_keys) {
  std::vector<KeySequence> keys;
  for (const KeySequence& key : terminal_keys) {
    if (!key.bytes.empty()) keys.push_back(key);
  }
  keys.insert(keys.end(), std::begin(kCommonKeys), std::end(kCommonKeys));
  return keys;
}

DecodedKey DecodeKey(std::string_view pending, std::span<const KeySequence> keys,
                     bool more_may_come) {
  if (pending.empty()) return {};
  switch (pending[0]) {
    case '\r':
    case '\n':
    case 'q':
    case 'Q':
      return {PagerKey::kClose, PageMove::kNone, 1};
    case ' ':
      return {PagerKey::kMove, PageMove::kPageDown, 1};
    default:
      break;
  }
  bool longer_may_match = false;
  for (const KeySequence& key : keys) {
    if (pending.starts_with(key.bytes)) return {PagerKey::kMove, key.move, key.bytes.size()};
    longer_may_match |= std::string_view(key.bytes).starts_with(pending);
  }
  if (pending[0] != kEscape) return {PagerKey::kNone, PageMove::kNone, 1};
  if (pending.size() == 1) {
    if (more_may_come) return {};
    return {PagerKey::kClose, PageMove::kNone, 1};
  }
  const std::size_t length = SequenceLength(pending);
  if (length != 0) return {PagerKey::kNone, PageMove::kNone, length};
  if (longer_may_match || more_may_come) return {};
  return {PagerKey::kNone, PageMove::kNone, pending.size()};
}

}  // namespace zprava
