#include "notice_obstacles.h"

#include <windows.h>

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
      // Someone else has the file open and shares it with nobody.
      {"file locked by another handle",
       [] {
         HANDLE handle = CreateFileW(L"Zprava.ini", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
         return std::shared_ptr<void>(handle, [](HANDLE h) { CloseHandle(h); });
       }},
  };
}

// Making symbolic links takes a privilege ordinary users lack.
bool LinkNoticeToNowhere() { return false; }

bool LinkNoticeToFileLongerThanItsSize() { return false; }

}  // namespace zprava
