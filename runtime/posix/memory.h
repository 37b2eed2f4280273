#pragma once

#include <cstdint>
#include <string>

namespace zprava {

// AvailableMemory as read from the system's files under `root` ("" for the
// running system's own /proc and /sys): MemAvailable from /proc/meminfo,
// lowered to the room left under the memory limit of this process's control
// group and of each group above it, in either version of control groups
// (/proc/self/cgroup names them; their files are under /sys/fs/cgroup).
std::uint64_t AvailableMemoryUnder(const std::string& root);

}  // namespace zprava
