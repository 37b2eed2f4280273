// Main's routing: which dialog, if any, each situation shows, and the exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "app/main_procedure.h"
#include "notice/notice.h"
#include "runtime/failure.h"

namespace zprava {
namespace {

namespace fs = std::filesystem;

class FakeDialog final : public MessageBox {
 public:
  std::function<int(std::u16string_view)> respond = [](std::u16string_view) { return kResultOk; };
  std::vector<std::u16string> prompts;

  int Show(std::u16string prompt, int style, std::u16string_view caption) override {
    EXPECT_EQ(style, message_box_style::kQuestion);
    EXPECT_EQ(caption, u"Tibrel");
    prompts.emplace_back(prompt);
    return respond(prompt);
  }

  // The prompt's body: everything after the header line.
  std::u16string OnlyBody() const {
    EXPECT_EQ(prompts.size(), 1U);
    if (prompts.empty()) return u"<no dialog>";
    EXPECT_EQ(prompts[0].rfind(u"Zpráva: ", 0), 0U);
    return prompts[0].substr(prompts[0].find(u"\r\n") + 2);
  }
};

// Runs each test in a fresh empty directory.
class MainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "zprava-main-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
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

TEST_F(MainTest, AnyAnswerFromTheNoticeDialogEndsNormally) {
  WriteNotice("x");
  dialog_.respond = [](std::u16string_view) { return 2; };
  EXPECT_EQ(Main(dialog_), kNoticeShown);
}

TEST_F(MainTest, MissingOrDanglingFileShowsTheNotFoundNotice) {
  for (bool dangling : {false, true}) {
    SCOPED_TRACE(dangling ? "dangling link" : "no file");
    if (dangling) fs::create_symlink("nowhere.ini", "Zprava.ini");
    FakeDialog dialog;
    EXPECT_EQ(Main(dialog), kNotFoundShown);
    EXPECT_EQ(dialog.OnlyBody(), u"Soubor 'Zprava.ini' nenalezen.");
  }
}

TEST_F(MainTest, WhatIsNotARegularFileEndsSilently) {
  const std::function<void()> makers[] = {
      [] { fs::create_directory("Zprava.ini"); },
      [] { ASSERT_EQ(::mkfifo("Zprava.ini", 0600), 0); },  // no writer: must not block
      [] { fs::create_symlink("/dev/zero", "Zprava.ini"); },
      [] { fs::create_symlink("/dev/null", "Zprava.ini"); },
  };
  for (const auto& make : makers) {
    make();
    FakeDialog dialog;
    EXPECT_EQ(Main(dialog), kEndedSilently);
    EXPECT_TRUE(dialog.prompts.empty());
    fs::remove("Zprava.ini");
  }
}

TEST_F(MainTest, FailureWhileShowingTheNotFoundNoticeEndsSilently) {
  dialog_.respond = [](std::u16string_view) -> int {
    throw RuntimeFailure(FailureNumber::kDeviceIo);
  };
  EXPECT_EQ(Main(dialog_), kEndedSilently);
  dialog_.respond = [](std::u16string_view) -> int { throw std::bad_alloc(); };
  EXPECT_EQ(Main(dialog_), kEndedSilently);
}

TEST_F(MainTest, FailureOfTheNoticeDialogEndsWithoutAnotherDialog) {
  WriteNotice("x");
  dialog_.respond = [](std::u16string_view) -> int {
    throw RuntimeFailure(FailureNumber::kDeviceIo);
  };
  EXPECT_EQ(Main(dialog_), kEndedSilently);
  EXPECT_EQ(dialog_.prompts.size(), 1U);
}

}  // namespace
}  // namespace zprava
