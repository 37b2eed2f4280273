#include <gtest/gtest.h>

#include "notice.h"

namespace zprava {
namespace {

TEST(ReplaceSemicolons, ReplacesEverySemicolonAndNothingElse) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"", u""},
      {u"no semicolons, but commas", u"no semicolons, but commas"},
      {u";", u","},
      {u";first and last;", u",first and last,"},
      {u"a;;b", u"a,,b"},
      {u"Dobrý den; kolegové\r\n;", u"Dobrý den, kolegové\r\n,"},
      {u"\u037E Greek question mark stays", u"\u037E Greek question mark stays"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(ReplaceSemicolons(text), expected);
}

TEST(ReplaceSemicolons, ReachesEveryPositionOfALongNotice) {
  for (std::size_t position : {32765U, 32766U, 32767U, 40000U, 200000U}) {
    std::u16string text(position + 10, u'x');
    text[position] = u';';
    text.back() = u';';
    std::u16string expected(position + 10, u'x');
    expected[position] = u',';
    expected.back() = u',';
    EXPECT_EQ(ReplaceSemicolons(text), expected) << "semicolon at index " << position;
  }
}

}  // namespace
}  // namespace zprava
