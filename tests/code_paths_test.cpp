// The scalar and the vector code paths against the plain item reader: every
// path must give the notice that reading and joining one item at a time gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "notice.h"
#include "notice_from.h"
#include "text/item_reader.h"
#include "text/text_decoder.h"

namespace zprava {
namespace {

NoticeText JoinOneAtATime(std::u16string_view text) {
  ItemReader reader(text);
  NoticeText joined;
  while (!reader.AtEnd()) {
    const std::u16string item = ReadItem(reader);
    if (!joined.empty()) joined += u"\r\n";
    joined += item;
  }
  return joined;
}

struct Path {
  const char* name;
  NoticeText (*from_text)(std::u16string_view);
  NoticeText (*from_bytes)(std::string_view);
};

std::vector<Path> BuiltPaths() {
  std::vector<Path> paths = {
      {"scalar", NoticeFromText<CodePath::kScalar>, NoticeFromBytes<CodePath::kScalar>}};
#if ZPRAVA_HAVE_SSE2
  paths.push_back({"sse2", NoticeFromText<CodePath::kSse2>, NoticeFromBytes<CodePath::kSse2>});
#endif
  return paths;
}

void ExpectEveryPathJoinsAsTheReader(const std::string& bytes, const std::string& what) {
  std::u16string decoded(bytes.size(), u'\0');
  decoded.resize(static_cast<std::size_t>(
      DecodeNoticeBytesTo<CodePath::kScalar>(bytes, decoded.data()) - decoded.data()));
  const NoticeText expected = JoinOneAtATime(decoded);
  for (const Path& path : BuiltPaths()) {
    ASSERT_EQ(path.from_bytes(bytes), expected) << path.name << ", " << what;
    ASSERT_EQ(path.from_text(decoded), expected) << path.name << ", " << what;
  }
}

// Several items at a time are joined from bit masks and long ones copied a
// block at a time; whatever the mix of delimiters, blanks, quotes and
// letters, and wherever they fall against windows and blocks, the notice
// must be the same.
TEST(CodePaths, JoinRandomTextsAsTheReader) {
  const std::vector<std::string_view> alphabets[] = {
      {"a", "a", "a", "a", "b", "b", "č", ";", ",", ",", ",", "\r", "\n"},
      {"a", "a", "a", "b", "č", ",", ",", "\r", "\n", "\t", " ", "\""},
      {"a", "\x9A", "\xE8", ",", "\r", "\n", " ", "\""},  // Windows-1250
  };
  std::minstd_rand random(20261208);
  for (int round = 0; round < 20000; ++round) {
    const std::vector<std::string_view>& alphabet = alphabets[round % std::size(alphabets)];
    std::string bytes;
    for (std::size_t length = random() % 300; bytes.size() < length;) {
      bytes += alphabet[random() % alphabet.size()];
    }
    ExpectEveryPathJoinsAsTheReader(bytes, "round " + std::to_string(round));
  }
}

TEST(CodePaths, JoinTheFuzzingSeedsAsTheReader) {
  std::size_t seeds = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ZPRAVA_NOTICE_CORPUS)) {
    std::ifstream file(entry.path(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    ExpectEveryPathJoinsAsTheReader(bytes, entry.path().filename().string());
    ++seeds;
  }
  EXPECT_GT(seeds, 0U);
}

}  // namespace
}  // namespace zprava
