#include "notice_obstacles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

namespace zprava {

namespace fs = std::filesystem;

std::vector<NoticeObstacle> NoticeObstacles() {
  return {
      {"directory",
       [] {
         fs::create_directory("Zprava.ini");
         return std::shared_ptr<void>();
       }},
      {"FIFO without a writer, which must not block",
       [] {
         EXPECT_EQ(::mkfifo("Zprava.ini", 0600), 0);
         return std::shared_ptr<void>();
       }},
      {"link to /dev/zero",
       [] {
         fs::create_symlink("/dev/zero", "Zprava.ini");
         return std::shared_ptr<void>();
       }},
      {"link to /dev/null",
       [] {
         fs::create_symlink("/dev/null", "Zprava.ini");
         return std::shared_ptr<void>();
       }},
  };
}

bool LinkNoticeToNowhere() {
  fs::create_symlink("nowhere.ini", "Zprava.ini");
  return true;
}

// Its size is 0, as every file under /proc says.
bool LinkNoticeToFileLongerThanItsSize() {
  fs::create_symlink("/proc/self/status", "Zprava.ini");
  return true;
}

}  // namespace zprava
