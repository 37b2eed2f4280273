// Available memory as read from /proc and /sys, on trees of those files made
// up for each case: MemAvailable, lowered by the room under control groups.
#include "posix/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <random>
#include <string>

namespace zprava {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();
const std::string kMeminfo =
    "MemTotal:       24000000 kB\nMemFree:         1000000 kB\nMemAvailable:    8000000 kB\n"
    "Buffers:           1000 kB\n";
constexpr std::uint64_t kMemAvailable = 8000000ULL * 1024;

struct MemoryCase {
  const char* what;
  std::map<std::string, std::string> files;  // path under the root: content
  std::uint64_t available;
};

TEST(AvailableMemory, IsTheLeastOfMemAvailableAndTheRoomUnderEveryGroup) {
  const MemoryCase cases[] = {
      {"MemAvailable alone", {{"proc/meminfo", kMeminfo}}, kMemAvailable},
      {"MemAvailable as the first line", {{"proc/meminfo", "MemAvailable: 42 kB\n"}}, 42 * 1024},
      {"nothing to read", {}, kNoLimit},
      {"a kernel without MemAvailable", {{"proc/meminfo", "MemTotal: 100 kB\n"}}, kNoLimit},
      {"unified group without a limit",
       {{"proc/meminfo", kMeminfo},
        {"proc/self/cgroup", "0::/user.slice/session-2.scope\n"},
        {"sys/fs/cgroup/user.slice/session-2.scope/memory.max", "max\n"},
        {"sys/fs/cgroup/user.slice/session-2.scope/memory.current", "1000\n"}},
       kMemAvailable},
      {"unified group with a limit",
       {{"proc/meminfo", kMeminfo},
        {"proc/self/cgroup", "0::/user.slice/session-2.scope\n"},
        {"sys/fs/cgroup/user.slice/session-2.scope/memory.max", "500000000\n"},
        {"sys/fs/cgroup/user.slice/session-2.scope/memory.current", "100000000\n"}},
       400000000},
      {"a tighter limit higher up",
       {{"proc/meminfo", kMeminfo},
        {"proc/self/cgroup", "0::/user.slice/session-2.scope\n"},
        {"sys/fs/cgroup/user.slice/memory.max", "300000000\n"},
        {"sys/fs/cgroup/user.slice/memory.current", "250000000\n"},
        {"sys/fs/cgroup/user.slice/session-2.scope/memory.max", "500000000\n"},
        {"sys/fs/cgroup/user.slice/session-2.scope/memory.current", "100000000\n"}},
       50000000},
      {"a container's own group at the top, the path naming the host's",
       {{"proc/meminfo", kMeminfo},
        {"proc/self/cgroup", "0::/system.slice/docker-1234.scope\n"},
        {"sys/fs/cgroup/memory.max", "2000000000\n"},
        {"sys/fs/cgroup/memory.current", "500000000\n"}},
       1500000000},
      {"more in use than the limit",
       {{"proc/meminfo", kMeminfo},
        {"proc/self/cgroup", "0::/a\n"},
        {"sys/fs/cgroup/a/memory.max", "1000\n"},
        {"sys/fs/cgroup/a/memory.current", "2000\n"}},
       0},
      {"separate memory hierarchy with a limit",
       {{"proc/meminfo", kMeminfo},
        {"proc/self/cgroup", "5:cpu,cpuacct:/a\n4:memory:/a/b\n0::/a\n"},
        {"sys/fs/cgroup/memory/a/b/memory.limit_in_bytes", "700000000\n"},
        {"sys/fs/cgroup/memory/a/b/memory.usage_in_bytes", "200000000\n"}},
       500000000},
      {"separate memory hierarchy shared with another controller",
       {{"proc/meminfo", kMeminfo},
        {"proc/self/cgroup", "7:blkio,memory:/a\n"},
        {"sys/fs/cgroup/memory/a/memory.limit_in_bytes", "700000000\n"},
        {"sys/fs/cgroup/memory/a/memory.usage_in_bytes", "200000000\n"}},
       500000000},
      {"separate memory hierarchy without a limit",
       {{"proc/meminfo", kMeminfo},
        {"proc/self/cgroup", "4:memory:/a\n"},
        {"sys/fs/cgroup/memory/memory.limit_in_bytes", "9223372036854771712\n"},
        {"sys/fs/cgroup/memory/memory.usage_in_bytes", "3000000000\n"},
        {"sys/fs/cgroup/memory/a/memory.limit_in_bytes", "9223372036854771712\n"},
        {"sys/fs/cgroup/memory/a/memory.usage_in_bytes", "100000000\n"}},
       kMemAvailable},
      {"unified group whose usage is mostly reclaimable cache",
       {{"proc/meminfo", kMeminfo},
        {"proc/self/cgroup", "0::/a\n"},
        {"sys/fs/cgroup/a/memory.max", "300000000\n"},
        {"sys/fs/cgroup/a/memory.current", "299990000\n"},
        {"sys/fs/cgroup/a/memory.stat",
         "anon 20000000\nfile 279000000\nactive_file 9990000\ninactive_file 270000000\n"}},
       270010000},
      {"separate hierarchy counts the hierarchy's inactive cache, not the group's own",
       {{"proc/meminfo", kMeminfo},
        {"proc/self/cgroup", "4:memory:/a\n"},
        {"sys/fs/cgroup/memory/a/memory.limit_in_bytes", "300000000\n"},
        {"sys/fs/cgroup/memory/a/memory.usage_in_bytes", "299000000\n"},
        {"sys/fs/cgroup/memory/a/memory.stat",
         "cache 280000000\ninactive_file 1000\ntotal_inactive_file_x 5\n"
         "total_inactive_file 250000000\n"}},
       251000000},
      {"more inactive cache than usage, as a racy reading may give",
       {{"proc/meminfo", kMeminfo},
        {"proc/self/cgroup", "0::/a\n"},
        {"sys/fs/cgroup/a/memory.max", "300000000\n"},
        {"sys/fs/cgroup/a/memory.current", "1000\n"},
        {"sys/fs/cgroup/a/memory.stat", "inactive_file 2000\n"}},
       300000000},
      {"an unreadable memory.stat leaves usage as it is",
       {{"proc/meminfo", kMeminfo},
        {"proc/self/cgroup", "0::/a\n"},
        {"sys/fs/cgroup/a/memory.max", "300000000\n"},
        {"sys/fs/cgroup/a/memory.current", "200000000\n"},
        {"sys/fs/cgroup/a/memory.stat", "inactive_file x\n"}},
       100000000},
      {"a controller named like memory is not it",
       {{"proc/meminfo", kMeminfo},
        {"proc/self/cgroup", "4:memory_x:/a\n"},
        {"sys/fs/cgroup/memory/a/memory.limit_in_bytes", "1000\n"},
        {"sys/fs/cgroup/memory/a/memory.usage_in_bytes", "0\n"}},
       kMemAvailable},
  };
  std::random_device random;
  for (const MemoryCase& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path root = fs::temp_directory_path() / ("zprava-memory-" + std::to_string(random()));
    for (const auto& [name, content] : c.files) {
      fs::create_directories((root / name).parent_path());
      std::ofstream(root / name) << content;
    }
    EXPECT_EQ(AvailableMemoryUnder(root.string()), c.available);
    fs::remove_all(root);
  }
}

}  // namespace
}  // namespace zprava
