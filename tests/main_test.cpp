// Main's routing: which dialog, if any, each situation shows, and the exit status.
#include <gtest/gtest.h>

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

namespace zprava {
namespace {

namespace fs = std::filesystem;

class FakeDialog final : public NoticeDialog {
 public:
  std::function<void()> respond = [] {};
  std::vector<std::u16string> bodies;

  void Show(DialogContent content) override {
    EXPECT_EQ(content.caption, u"Tibrel");
    EXPECT_EQ(content.header.rfind(u"Zpráva: ", 0), 0U);
    EXPECT_EQ(content.icon, DialogIcon::kQuestion);
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
  EXPECT_EQ(Main(dialog_), kNoticeShown);
  EXPECT_EQ(dialog_.OnlyBody(), u"Dobrý den, kolegové\r\nporada, 9:00");
}

TEST_F(MainTest, EmptyNoticeShowsTheHeaderAlone) {
  WriteNotice("");
  EXPECT_EQ(Main(dialog_), kNoticeShown);
  EXPECT_EQ(dialog_.OnlyBody(), u"");
}

TEST_F(MainTest, MissingOrDanglingFileShowsTheNotFoundNotice) {
  for (bool dangling : {false, true}) {
    SCOPED_TRACE(dangling ? "dangling link" : "no file");
    if (dangling && !LinkNoticeToNowhere()) continue;
    FakeDialog dialog;
    EXPECT_EQ(Main(dialog), kNotFoundShown);
    EXPECT_EQ(dialog.OnlyBody(), u"Soubor 'Zprava.ini' nenalezen.");
  }
}

TEST_F(MainTest, WhatIsNotARegularFileEndsSilently) {
  for (const NoticeObstacle& obstacle : NoticeObstacles()) {
    SCOPED_TRACE(obstacle.what);
    {
      const std::shared_ptr<void> held = obstacle.place();
      FakeDialog dialog;
      EXPECT_EQ(Main(dialog), kEndedSilently);
      EXPECT_TRUE(dialog.bodies.empty());
    }
    fs::remove_all("Zprava.ini");
  }
}

TEST_F(MainTest, FailureWhileShowingTheNotFoundNoticeEndsSilently) {
  dialog_.respond = [] { throw RuntimeFailure(FailureNumber::kDeviceIo); };
  EXPECT_EQ(Main(dialog_), kEndedSilently);
  dialog_.respond = [] { throw std::bad_alloc(); };
  EXPECT_EQ(Main(dialog_), kEndedSilently);
}

TEST_F(MainTest, FailureOfTheNoticeDialogEndsWithoutAnotherDialog) {
  WriteNotice("x");
  dialog_.respond = [] { throw RuntimeFailure(FailureNumber::kDeviceIo); };
  EXPECT_EQ(Main(dialog_), kEndedSilently);
  EXPECT_EQ(dialog_.bodies.size(), 1U);
}

}  // namespace
}  // namespace zprava
