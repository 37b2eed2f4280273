#include <cstdint>

#include "notice.h"
#include "notice_storage.h"
#include "system/failure.h"
#include "system/file_input.h"
#include "system/memory.h"
#include "text/delimiter_scan.h"

namespace zprava {
namespace {

// The most memory a notice file of `file_bytes` holding `delimiters`
// delimiter bytes takes at once, which is while it is decoded and joined:
// the file's bytes (and one to see the end), and beside them the notice's
// storage, two bytes a unit for one unit a byte at most (no encoding makes
// more units than bytes) and one more unit for each delimiter and for the
// joiner's lag. The file's bytes are let go before the dialog, which holds
// little beside the notice. So 3 times the file for a file without
// delimiters, up to 5 times for one of nothing else.
std::uint64_t PeakNeed(std::uint64_t file_bytes, std::uint64_t delimiters) {
  return file_bytes + 1 + 2 * (kJoinLag + delimiters + file_bytes);
}

// The largest file that may fit `budget`: one without a single delimiter.
std::size_t LargestFileWithin(std::uint64_t budget) {
  const std::uint64_t least_need = PeakNeed(0, 0);
  return budget < least_need ? 0 : static_cast<std::size_t>((budget - least_need) / 3);
}

}  // namespace

// A notice is read only when it fits in half of what the system can give:
// the rest is left to the desktop the user is logging in to, so that a
// notice never pushes it into swap or makes the system end a process to
// free memory. The file's size alone settles most cases before anything is
// read; a file that fits that way is held to its delimiters once read.
NoticeText ReadNotice(std::uint64_t available_memory) {
  const std::uint64_t budget = available_memory / 2;
  const std::string bytes = ReadWholeFile(kNoticeFileName, LargestFileWithin(budget));
  const std::size_t delimiters = DelimiterScan<kBuildCodePath>::Count(std::string_view(bytes));
  if (PeakNeed(bytes.size(), delimiters) > budget) {
    throw RuntimeFailure(FailureNumber::kOutOfMemory);
  }
  return NoticeFromCountedBytes<kBuildCodePath>(bytes, delimiters);
}

}  // namespace zprava
