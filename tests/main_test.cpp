// Main's routing: which dialog, if any, each situation shows, and the exit status.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "main_procedure.h"
#include "notice.h"
#include "notice_obstacles.h"
#include "system/failure.h"
#include "system/file_input.h"

namespace zprava {
namespace {

namespace fs = std::filesystem;

// More than any notice these tests write needs.
constexpr std::uint64_t kPlentyOfMemory = std::uint64_t{1} << 40;

class FakeDialog final : public NoticeDialog {
 public:
  std::function<void()> respond = [] {};
  std::vector<std::u16string> bodies;

  void Show(DialogContent content) override {
    EXPECT_EQ(content.caption, u"Tibrel");
    EXPECT_EQ(content.header.rfind(u"Zpráva: ", 0), 0U);
    bodies.push_back(std::move(content.body));
    respond();
  }

  std::u16string OnlyBody() const {
    EXPECT_EQ(bodies.size(), 1U);
    return bodies.empty() ? u"<no dialog>" : bodies[0];
  }
};

// Runs each test in a fresh empty directory.
class MainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = fs::current_path();
    std::random_device random;
    do {
      directory_ = fs::temp_directory_path() / ("zprava-main-" + std::to_string(random()));
    } while (!fs::create_directory(directory_));
    fs::current_path(directory_);
  }
  void TearDown() override {
    fs::current_path(saved_);
    fs::remove_all(directory_);
  }
  static void WriteNotice(const std::string& bytes) {
    std::ofstream("Zprava.ini", std::ios::binary) << bytes;
  }

  FakeDialog dialog_;

 private:
  fs::path saved_, directory_;
};

TEST_F(MainTest, ShowsTheNoticeWithCommasForSemicolons) {
  WriteNotice("\r\nDobrý den; kolegové,\"porada, 9:00\"\r\n");
  EXPECT_EQ(Main(dialog_, kPlentyOfMemory), kNoticeShown);
  EXPECT_EQ(dialog_.OnlyBody(), u"Dobrý den, kolegové\r\nporada, 9:00");
}

TEST_F(MainTest, EmptyNoticeShowsTheHeaderAlone) {
  WriteNotice("");
  EXPECT_EQ(Main(dialog_, kPlentyOfMemory), kNoticeShown);
  EXPECT_EQ(dialog_.OnlyBody(), u"");
}

TEST_F(MainTest, MissingOrDanglingFileShowsTheNotFoundNotice) {
  for (bool dangling : {false, true}) {
    SCOPED_TRACE(dangling ? "dangling link" : "no file");
    if (dangling && !LinkNoticeToNowhere()) continue;
    FakeDialog dialog;
    EXPECT_EQ(Main(dialog, kPlentyOfMemory), kNotFoundShown);
    EXPECT_EQ(dialog.OnlyBody(), u"Soubor 'Zprava.ini' nenalezen.");
  }
}

TEST_F(MainTest, WhatIsNotARegularFileEndsSilently) {
  for (const NoticeObstacle& obstacle : NoticeObstacles()) {
    SCOPED_TRACE(obstacle.what);
    {
      const std::shared_ptr<void> held = obstacle.place();
      FakeDialog dialog;
      EXPECT_EQ(Main(dialog, kPlentyOfMemory), kEndedSilently);
      EXPECT_TRUE(dialog.bodies.empty());
    }
    fs::remove_all("Zprava.ini");
  }
}

TEST_F(MainTest, FailureWhileShowingTheNotFoundNoticeEndsSilently) {
  dialog_.respond = [] { throw RuntimeFailure(FailureNumber::kDeviceIo); };
  EXPECT_EQ(Main(dialog_, kPlentyOfMemory), kEndedSilently);
  dialog_.respond = [] { throw std::bad_alloc(); };
  EXPECT_EQ(Main(dialog_, kPlentyOfMemory), kEndedSilently);
}

TEST_F(MainTest, FailureOfTheNoticeDialogEndsWithoutAnotherDialog) {
  WriteNotice("x");
  dialog_.respond = [] { throw RuntimeFailure(FailureNumber::kDeviceIo); };
  EXPECT_EQ(Main(dialog_, kPlentyOfMemory), kEndedSilently);
  EXPECT_EQ(dialog_.bodies.size(), 1U);
}

// A notice needs 3 bytes for each byte of its file while it is read, and 2
// more for each delimiter; it is read only if that fits in half of the
// memory available.
TEST_F(MainTest, NoticeOverHalfTheAvailableMemoryEndsSilently) {
  constexpr std::size_t kMiB = 1 << 20;
  struct BudgetCase {
    const char* what;
    std::string file;
    std::uint64_t available;
    ExitStatus status;
  };
  const BudgetCase cases[] = {
      {"1 MiB of letters, 8 MiB available", std::string(kMiB, 'a'), 8 * kMiB, kNoticeShown},
      {"1 MiB of letters, 6 MiB available", std::string(kMiB, 'a'), 6 * kMiB, kEndedSilently},
      {"1 MiB of commas, 8 MiB available", std::string(kMiB, ','), 8 * kMiB, kEndedSilently},
      {"1 MiB of commas, 11 MiB available", std::string(kMiB, ','), 11 * kMiB, kNoticeShown},
      {"empty file, no memory at all", "", 0, kEndedSilently},
      {"a few letters, 1 KiB available", "Dobrý den", 1024, kNoticeShown},
  };
  for (const BudgetCase& c : cases) {
    SCOPED_TRACE(c.what);
    WriteNotice(c.file);
    FakeDialog dialog;
    EXPECT_EQ(Main(dialog, c.available), c.status);
    EXPECT_EQ(dialog.bodies.size(), c.status == kNoticeShown ? 1U : 0U);
  }
}

// Reading refuses a file over its limit before reading it, and stops as
// soon as it is past the limit when the file reads longer than its size.
TEST_F(MainTest, ReadingStopsPastItsLimit) {
  WriteNotice(std::string(100, 'x'));
  EXPECT_EQ(ReadWholeFile("Zprava.ini", 100), std::string(100, 'x'));
  EXPECT_THROW(ReadWholeFile("Zprava.ini", 99), RuntimeFailure);
  fs::remove("Zprava.ini");
  if (!LinkNoticeToFileLongerThanItsSize()) GTEST_SKIP() << "no file reads longer than its size";
  EXPECT_GT(ReadWholeFile("Zprava.ini", 1 << 20).size(), 512U);
  EXPECT_THROW(ReadWholeFile("Zprava.ini", 64), RuntimeFailure);
  EXPECT_EQ(Main(dialog_, 2048), kEndedSilently);
  EXPECT_TRUE(dialog_.bodies.empty());
}

}  // namespace
}  // namespace zprava
