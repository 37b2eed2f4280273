#include "system/memory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "posix/memory.h"

namespace zprava {
namespace {

constexpr std::uint64_t kUnlimited = std::numeric_limits<std::uint64_t>::max();

// The first few kilobytes of a small system file, or "" when it cannot be read.
std::string SmallFile(const std::string& name) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string text(16384, '\0');
  std::size_t filled = 0;
  while (filled < text.size()) {
    const ssize_t got = ::read(fd, text.data() + filled, text.size() - filled);
    if (got <= 0) break;
    filled += static_cast<std::size_t>(got);
  }
  ::close(fd);
  text.resize(filled);
  return text;
}

template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    visit(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
}

// The number at the start of `text` after blanks, if there is one.
bool ParseNumber(std::string_view text, std::uint64_t& number) {
  text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end != text.data();
}

// "MemAvailable:   23865040 kB"
std::uint64_t MemAvailable(std::string_view meminfo) {
  constexpr std::string_view kKey = "MemAvailable:";
  std::uint64_t available = kUnlimited;
  ForEachLine(meminfo, [&](std::string_view line) {
    std::uint64_t kibibytes = 0;
    if (line.starts_with(kKey) && ParseNumber(line.substr(kKey.size()), kibibytes)) {
      available = kibibytes > kUnlimited / 1024 ? kUnlimited : kibibytes * 1024;
    }
  });
  return available;
}

struct GroupFiles {
  const char* limit;
  const char* usage;
  std::string_view reclaimable;  // the key in memory.stat
};

// The value of `key` in a memory.stat ("inactive_file 123456"), or 0.
std::uint64_t StatValue(std::string_view stat, std::string_view key) {
  std::uint64_t value = 0;
  ForEachLine(stat, [&](std::string_view line) {
    if (line.starts_with(key) && line.size() > key.size() && line[key.size()] == ' ') {
      ParseNumber(line.substr(key.size()), value);
    }
  });
  return value;
}

// A group's limit less its working set; a group without a limit ("max", or
// no such file) leaves unlimited room. A group's usage counts the page cache
// of every file its processes have read or written, and a desktop that has
// touched enough files keeps its usage at the limit for good. The inactive
// file pages are the cache the kernel drops first when a program asks for
// room, so they are room: usage less them is the working set by which
// container tooling judges a group, and MemAvailable counts the same cache as
// available on the whole machine.
std::uint64_t RoomInGroup(const std::string& folder, const GroupFiles& files) {
  std::uint64_t limit = 0, usage = 0;
  if (!ParseNumber(SmallFile(folder + "/" + files.limit), limit) ||
      !ParseNumber(SmallFile(folder + "/" + files.usage), usage)) {
    return kUnlimited;
  }
  const std::uint64_t reclaimable =
      StatValue(SmallFile(folder + "/memory.stat"), files.reclaimable);
  const std::uint64_t working_set = usage > reclaimable ? usage - reclaimable : 0;
  return limit > working_set ? limit - working_set : 0;
}

// The least room under the group at `path` and every group above it: a
// process is held to each limit on the way up. Inside a container the path
// may name groups above the container's own, which its /sys does not show;
// those are simply not there to read.
std::uint64_t RoomUnderGroups(const std::string& hierarchy, std::string_view path,
                              const GroupFiles& files) {
  std::uint64_t room = RoomInGroup(hierarchy, files);
  if (path.size() <= 1) return room;
  std::size_t end = 0;
  do {
    end = path.find('/', end + 1);
    room = std::min(room, RoomInGroup(hierarchy + std::string(path.substr(0, end)), files));
  } while (end != std::string_view::npos);
  return room;
}

// Each line of /proc/self/cgroup is "id:controllers:path": "0::/path" for
// the unified hierarchy, "4:memory:/path" (the memory controller among
// others, maybe) for the older, separate memory hierarchy.
std::uint64_t RoomUnderControlGroups(const std::string& root) {
  std::uint64_t room = kUnlimited;
  ForEachLine(SmallFile(root + "/proc/self/cgroup"), [&](std::string_view line) {
    const std::size_t first = line.find(':');
    if (first == std::string_view::npos) return;
    const std::size_t second = line.find(':', first + 1);
    if (second == std::string_view::npos) return;
    const std::string controllers =
        "," + std::string(line.substr(first + 1, second - first - 1)) + ",";
    const std::string_view path = line.substr(second + 1);
    if (!path.starts_with('/')) return;
    if (controllers == ",,") {
      room = std::min(room, RoomUnderGroups(root + "/sys/fs/cgroup", path,
                                            {"memory.max", "memory.current", "inactive_file"}));
    } else if (controllers.find(",memory,") != std::string::npos) {
      room = std::min(room, RoomUnderGroups(root + "/sys/fs/cgroup/memory", path,
                                            {"memory.limit_in_bytes", "memory.usage_in_bytes",
                                             "total_inactive_file"}));
    }
  });
  return room;
}

}  // namespace

std::uint64_t AvailableMemoryUnder(const std::string& root) {
  return std::min(MemAvailable(SmallFile(root + "/proc/meminfo")), RoomUnderControlGroups(root));
}

std::uint64_t AvailableMemory() { return AvailableMemoryUnder(""); }

void PreferLargePages(void* buffer, std::size_t bytes) {
#if defined(MADV_HUGEPAGE)
  constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
  if (bytes < 2 * kLargePage) return;
  const auto begin =
      (reinterpret_cast<std::uintptr_t>(buffer) + kLargePage - 1) & ~(kLargePage - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(buffer) + bytes) & ~(kLargePage - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)buffer;
  (void)bytes;
#endif
}

}  // namespace zprava
