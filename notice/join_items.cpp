#include "join_items.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstdint>
#include <cstring>

#include "text/delimiter_scan.h"
#include "text/item_reader.h"

namespace zprava {
namespace {

// Copies items with the delimiter scan of `kPath`. An item that opens with a
// blank, a quote or a line end (every unit at or below '"') is left to
// ItemReader, which states the format.
template <CodePath kPath>
class InPlaceJoiner {
 public:
  InPlaceJoiner(char16_t* out, std::u16string_view text) : out_(out), text_(text) {}

  std::size_t Join() {
    char16_t* const start = out_;
    while (!AtEnd() && out_ == start) CopyItem();
    while (!AtEnd()) {
      *out_++ = u'\r';
      *out_++ = u'\n';
      if (!CopyPlainItems()) CopyItem();
    }
    return static_cast<std::size_t>(out_ - start);
  }

 private:
  using Scan = DelimiterScan<kPath>;
  static constexpr std::size_t kBlockUnits = Scan::kBlockUnits;
  static_assert(kJoinLag >= 2 * kBlockUnits, "a block copy must stay clear of the reading");

  bool AtEnd() const { return position_ >= text_.size(); }

  void CheckLag() const { assert(text_.data() + position_ >= out_ + kJoinLag); }

  void CopyItem() {
    CheckLag();
    // Blanks and the quote sort at or below '"': most items open above it.
    if (text_[position_] > u'"') {
      CopyUnquotedItem();
      return;
    }
    ItemReader reader(text_, position_);
    const ItemReader::Pieces pieces = reader.ReadPieces();
    Append(pieces.quoted);
    Append(pieces.unquoted);
    position_ = reader.Position();
  }

  void Append(std::u16string_view piece) {
    if (piece.empty()) return;  // an absent piece has no storage to copy from
    std::memmove(out_, piece.data(), piece.size() * sizeof(char16_t));
    out_ += piece.size();
  }

  void CopyUnquotedItem() {
    char16_t* const item = out_;
    position_ = CopyToDelimiter(position_);
    // Trailing blanks are looked for in the copy: in place, a long item's
    // copy may already cover the item's own end.
    while (out_ > item && IsItemBlank(out_[-1])) --out_;
    if (!AtEnd()) position_ = ItemReader::AfterDelimiter(text_, position_);
  }

  // Copies from `from` up to the next delimiter a block at a time while
  // scanning; returns where the delimiter (or the end) stands.
  std::size_t CopyToDelimiter(std::size_t from) {
    for (; text_.size() - from >= kBlockUnits; from += kBlockUnits, out_ += kBlockUnits) {
      const std::uint32_t hits = Scan::Block(text_.data() + from);
      std::memcpy(out_, text_.data() + from, kBlockUnits * sizeof(char16_t));
      if (hits != 0) {
        const auto taken = static_cast<std::size_t>(std::countr_zero(hits));
        out_ += taken;
        return from + taken;
      }
    }
    for (; from < text_.size() && !IsItemDelimiter(text_[from]); ++from) *out_++ = text_[from];
    return from;
  }

  // Copies the items that lie wholly in the next kWindowUnits units, joined
  // by CR LF, when they need neither quotes nor blank trimming: their
  // delimiters come from bit masks rather than one item at a time, as short
  // items would otherwise cost more to find than to copy. False, copying
  // nothing, when the first item is not such an item or ends beyond the window.
  bool CopyPlainItems() {
    if (text_.size() - position_ < 2 * kWindowUnits) return false;
    const char16_t* const in = text_.data() + position_;
    const WindowMasks window = Scan::Window(in);
    const std::uint32_t delimiters = window.commas | window.crs | window.lfs;
    const std::uint32_t starts = 1 | delimiters << 1;  // every place an item may start
    const std::uint32_t awkward =
        (window.blanks & (starts | delimiters >> 1)) | (window.quotes & starts);
    // A delimiter may be read here when neither it nor what it takes with it
    // (the line end after a comma, the LF of a CR LF) reaches an awkward unit
    // or past the window.
    const int limit = std::min(std::countr_zero(awkward) - 1, 30);
    if (limit <= 0) return false;
    const std::uint32_t taken_along =
        ((window.crs | window.lfs) & window.commas << 1) | (window.lfs & window.crs << 1);
    std::uint32_t ends = delimiters & ~taken_along & ((std::uint32_t{1} << limit) - 1);
    if (ends == 0) return false;
    CheckLag();
    unsigned item = 0;
    for (bool first = true; ends != 0; ends &= ends - 1, first = false) {
      const auto end = static_cast<unsigned>(std::countr_zero(ends));
      if (!first) {
        *out_++ = u'\r';
        *out_++ = u'\n';
      }
      CopyShort(in + item, end - item);
      // Past the delimiter and the units it takes along (a run of at most two).
      item = end + 1 + static_cast<unsigned>(std::countr_zero(~(taken_along >> (end + 1))));
    }
    position_ += item;
    return true;
  }

  // Eight units at a time, so up to seven units past `count`.
  void CopyShort(const char16_t* from, std::size_t count) {
    for (std::size_t done = 0; done < count; done += 8) {
      std::memcpy(out_ + done, from + done, 8 * sizeof(char16_t));
    }
    out_ += count;
  }

  char16_t* out_;
  std::u16string_view text_;
  std::size_t position_ = 0;
};

}  // namespace

template <CodePath kPath>
std::size_t JoinItemsInPlace(char16_t* out, std::u16string_view text) {
  return InPlaceJoiner<kPath>(out, text).Join();
}

template std::size_t JoinItemsInPlace<CodePath::kScalar>(char16_t*, std::u16string_view);
#if ZPRAVA_HAVE_SSE2
template std::size_t JoinItemsInPlace<CodePath::kSse2>(char16_t*, std::u16string_view);
#endif

}  // namespace zprava
