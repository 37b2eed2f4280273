// How a dialog shows a notice's body: in its label, or in a scrolled view.
#include "dialog/body_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "text/display_rows.h"

namespace zprava {
namespace {

// The one choice of how a dialog shows a body, for a 20-pixel line and a
// 1280x1024 screen: 32 lines fit in 80 % of its height, 60 characters a line.
TEST(ChooseBodyLayout, LabelWhileItFitsScrolledViewOtherwise) {
  const FontMetrics font{20, 9};
  const ScreenArea screen{1280, 1024};
  auto lines = [](int count) {
    std::u16string text;
    for (int i = 0; i < count; ++i) text += u"line\r\n";
    return text.substr(0, text.size() - 2);
  };
  const std::u16string accented = [] {
    std::u16string text;
    for (int i = 0; i < 1800; ++i) text += u"e\u0301";  // 30 lines of letters, 60 of code units
    return text;
  }();
  const CharacterClasses accent{nullptr, [](char32_t c) { return c == U'\u0301' ? 0 : 1; }};
  struct Case {
    const char* what;
    std::u16string body;
    ScreenArea screen;
    BodyView view;
    bool break_words;
  };
  const Case cases[] = {
      {"short notice", u"Dobrý den", screen, BodyView::kLabel, false},
      {"31 lines and the header fill 80 %", lines(31), screen, BodyView::kLabel, false},
      {"one line more", lines(32), screen, BodyView::kScrolled, false},
      {"a long line counts as the lines it wraps to", std::u16string(31 * 60 + 1, u'x'), screen,
       BodyView::kScrolled, false},
      {"a word longer than a line is broken", std::u16string(61, u'x'), screen, BodyView::kLabel,
       true},
      {"accents take no room of their own", accented, screen, BodyView::kLabel, true},
      {"a label holds a bounded text whatever the screen",
       lines(4001),
       {1280, 1'000'000},
       BodyView::kScrolled,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const BodyLayout layout = ChooseBodyLayout(u"Zpráva: D", c.body, font, c.screen, accent);
    EXPECT_EQ(layout.view, c.view);
    EXPECT_EQ(layout.break_words, c.break_words);
  }
  const BodyLayout wide = ChooseBodyLayout(u"H", lines(100), font, screen);
  EXPECT_EQ(wide.row_columns, 80u);
  EXPECT_GE(wide.width, 80 * 9);
  EXPECT_EQ(wide.height, ScreenShare(1024) - 160);
  // The dialog, icon and all, stays within 80 % of a narrow screen: its rows
  // are narrower, and it keeps a few lines' height.
  const BodyLayout small = ChooseBodyLayout(u"H", lines(100), font, {640, 200});
  EXPECT_LE(small.width + 100, ScreenShare(640));
  EXPECT_LT(small.row_columns * 9, static_cast<std::size_t>(small.width));
  EXPECT_LT(small.row_columns, 45u);
  EXPECT_EQ(small.height, 120);
}

}  // namespace
}  // namespace zprava
