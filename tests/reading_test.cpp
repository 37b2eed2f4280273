// How a notice file's bytes become the joined notice text.
#include <gtest/gtest.h>

#include <string>

#include "notice.h"
#include "notice_from.h"

namespace zprava {
namespace {

using namespace std::string_literals;

struct ReadingCase {
  const char* what;
  std::string file;
  std::u16string notice;
};

TEST(NoticeFromBytes, FollowsTheItemFormat) {
  const ReadingCase cases[] = {
      {"empty file", "", u""},
      {"blank lines only", "\r\n\r\n\r\n", u""},
      {"blank lines before text vanish, after text they stay", "\r\n\r\nA\r\n\r\nB", u"A\r\n\r\nB"},
      {"final line end or not", "A\r\nB\r\n", u"A\r\nB"},
      {"no final line end", "A\r\nB", u"A\r\nB"},
      {"comma splits a line", "A,B", u"A\r\nB"},
      {"two commas give an empty line", "A,,B", u"A\r\n\r\nB"},
      {"quoted comma", "\"A, B\"", u"A, B"},
      {"leading spaces and tabs skipped", "  \tA,  B", u"A\r\nB"},
      {"trailing blanks dropped", "A  \t,B  \r\n", u"A\r\nB"},
      {"inner blanks kept", "A  B", u"A  B"},
      {"lone LF and lone CR end lines", "A\nB\rC", u"A\r\nB\r\nC"},
      {"quoted item keeps line ends", "\"A\r\nB\",C", u"A\r\nB\r\nC"},
      {"text after a closing quote is kept", "\"A\"x y ,B", u"Ax y\r\nB"},
      {"quote left open takes the rest", "A,\"B, C\r\nD", u"A\r\nB, C\r\nD"},
      {"comma at a line end adds no line", "A,\r\nB", u"A\r\nB"},
      {"comma and blanks at a line end", "A, \t\nB", u"A\r\nB"},
      {"two commas at a line end", "A,,\r\nB", u"A\r\n\r\nB"},
      {"comma at the end of the file", "A,", u"A"},
      {"blank line after a comma line end", "A,\r\n\r\nB", u"A\r\n\r\nB"},
      {"values stay as written", "007,1.50,#TRUE#,#2026-12-08#",
       u"007\r\n1.50\r\n#TRUE#\r\n#2026-12-08#"},
      {"semicolons are left for the substitution", "a;b", u"a;b"},
      {"NUL does not cut the text", "A\0B,C"s, u"A\0B\r\nC"s},
      {"a blank line of spaces", "A\r\n   \r\nB", u"A\r\n\r\nB"},
      {"quoted empty item", "A,\"\",B", u"A\r\n\r\nB"},
      {"worked example", "\r\nDobrý den; kolegové, vítejte\r\n\"Porada, zasedačka\"\r\n",
       u"Dobrý den; kolegové\r\nvítejte\r\nPorada, zasedačka"},
      {"Windows-1250 file", "\x8A\x8D\x8E\x9A\x9D\x9E,\xE8", u"ŠŤŽšťž\r\nč"},
      {"UTF-8 with a mark", "\xEF\xBB\xBF\xC4\x8D,A", u"č\r\nA"},
      {"UTF-16 LE with a mark",
       "\xFF\xFE"
       "A\0,\0B\0\r\0\n\0"s,
       u"A\r\nB"},
      {"UTF-16 BE with a mark",
       "\xFE\xFF"
       "\0A\0\n\0B"s,
       u"A\r\nB"},
  };
  for (const ReadingCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(NoticeFromBytes(c.file), c.notice);
  }
}

TEST(NoticeFromBytes, ManyItemsAndLongLinesStayWhole) {
  std::string file;
  std::u16string notice;
  for (int i = 0; i < 100000; ++i) {
    file += "x,";
    notice += i == 0 ? u"x" : u"\r\nx";
  }
  EXPECT_EQ(NoticeFromBytes(file), notice);
  EXPECT_EQ(NoticeFromBytes(std::string(100000, 'y')), std::u16string(100000, u'y'));
  // The trailing blanks of a long item lie where the joined text is written.
  EXPECT_EQ(NoticeFromBytes(std::string(100, 'y') + std::string(100, '\t') + "\r\nz"),
            std::u16string(100, u'y') + u"\r\nz");
}

}  // namespace
}  // namespace zprava
