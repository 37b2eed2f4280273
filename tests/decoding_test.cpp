// Choosing and applying the notice file's encoding.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "notice_from.h"
#include "text/text_decoder.h"

namespace zprava {
namespace {

using namespace std::string_literals;

struct DecodingCase {
  const char* what;
  std::string bytes;
  std::u16string text;
};

TEST(DecodeNoticeBytes, PicksTheEncoding) {
  const DecodingCase cases[] = {
      {"ASCII", "Hello, world", u"Hello, world"},
      {"valid UTF-8", "Příliš žluťoučký kůň", u"Příliš žluťoučký kůň"},
      {"four-byte UTF-8", "\xF0\x9F\x98\x80", u"\U0001F600"},
      {"Windows-1250 letters that ISO-8859-2 puts elsewhere", "\x8A\x8D\x8E\x9A\x9D\x9E",
       u"ŠŤŽšťž"},
      {"Windows-1250 Czech", "P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD", u"Příliš žluťoučký"},
      {"byte undefined in Windows-1250", "a\x81z", u"a\uFFFDz"},
      {"overlong UTF-8 is not UTF-8", "\xC0\xAF", u"ŔŻ"},
      {"encoded surrogate is not UTF-8", "\xED\xA0\x80", u"í\u00A0€"},
      {"past U+10FFFF is not UTF-8", "\xF4\x90\x80\x80", u"ô\uFFFD€€"},
      {"character cut at the end", "\xC4", u"Ä"},
      {"UTF-8 and Windows-1250 mixed", "\xC4\x8D\x9A", u"ÄŤš"},
      {"NUL is a character", "a\0b"s, u"a\0b"s},
      {"UTF-8 mark", "\xEF\xBB\xBF\xC5\xA1", u"š"},
      {"UTF-8 mark, malformed inside",
       "\xEF\xBB\xBF"
       "a\xC4z\xE2\x82",
       u"a\uFFFDz\uFFFD"},
      {"UTF-8 mark only", "\xEF\xBB\xBF", u""},
      {"UTF-16 LE", "\xFF\xFE\x61\x01\x0D\x01"s, u"šč"},
      {"UTF-16 BE surrogate pair", "\xFE\xFF\xD8\x3D\xDE\x00"s, u"\U0001F600"},
      {"UTF-16 lone high surrogate", "\xFF\xFE\x00\xD8\x41\x00"s, u"\uFFFDA"},
      {"UTF-16 lone low surrogate", "\xFE\xFF\xDC\x00"s, u"\uFFFD"},
      {"UTF-16 odd byte count", "\xFF\xFE\x41\x00\x42"s, u"A\uFFFD"},
  };
  for (const DecodingCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(DecodeNoticeBytes(c.bytes), c.text);
  }
}

TEST(DecodeNoticeBytes, LongAsciiRunsAroundMultibyteText) {
  const std::string ascii(1000, 'a');
  EXPECT_EQ(DecodeNoticeBytes(ascii + "\xC5\xBE" + ascii),
            std::u16string(1000, u'a') + u"ž" + std::u16string(1000, u'a'));
  // A fault far into the file still sends the whole file to the legacy code page.
  EXPECT_EQ(DecodeNoticeBytes("\xC5\xBE" + ascii + "\x9E"),
            u"Ĺľ" + std::u16string(1000, u'a') + u"ž");
}

// Long runs are decoded a block at a time; wherever sequences fall against
// the blocks, the text must be what the sequences say, and one bad sequence
// anywhere must send the whole file to the legacy code page.
TEST(DecodeNoticeBytes, SequencesFallingAnywhereInABlock) {
  struct Piece {
    std::string_view bytes;
    std::u16string_view text;
  };
  const Piece valid[] = {{"a", u"a"},
                         {",", u","},
                         {"č", u"č"},
                         {"Ž", u"Ž"},
                         {"\xC2\x80", u"\u0080"},
                         {"\xDF\xBF", u"\u07FF"},
                         {"€", u"€"},
                         {"😀", u"😀"}};
  const std::string_view invalid[] = {"\xC4", "\x8D", "\xC1\xBF", "\xE0\x80\x80", "\xF8"};
  std::minstd_rand random(8122026);
  for (int round = 0; round < 5000; ++round) {
    std::string bytes;
    std::u16string text;
    const unsigned pieces = random() % 80;
    const unsigned bad_piece = round % 4 == 3 ? random() % (pieces + 1) : pieces + 1;
    for (unsigned piece = 0; piece <= pieces; ++piece) {
      if (piece == bad_piece) bytes += invalid[random() % std::size(invalid)];
      const Piece& next = valid[random() % std::size(valid)];
      bytes += next.bytes;
      text += next.text;
    }
    if (bad_piece <= pieces) {
      text.assign(bytes.size(), u'\0');
      text.resize(
          static_cast<std::size_t>(DecodeLegacyCodePageTo(bytes, text.data()) - text.data()));
    }
    ASSERT_EQ(DecodeNoticeBytes(bytes), text) << "round " << round;
  }
}

}  // namespace
}  // namespace zprava
