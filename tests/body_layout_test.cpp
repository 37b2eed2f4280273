// How a dialog shows a notice's body: in its label, or in a scrolled view.
#include "dialog/body_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "text/display_rows.h"

namespace zprava {
namespace {

// A dialog whose frame takes 160 pixels of height and whose label wraps at
// 60 characters, with a 20-pixel line on a 1280x1024 screen: 32 lines fit in
// 80 % of its height.
constexpr DialogFrame kFrame{
    .height = 160, .width = 140, .view_width = 30, .least_view_height = 120, .wrap_columns = 60};

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
    const BodyLayout layout =
        ChooseBodyLayout(u"Zpráva: D", c.body, font, c.screen, kFrame, accent);
    EXPECT_EQ(layout.view, c.view);
    EXPECT_EQ(layout.break_words, c.break_words);
  }
}

// The scrolled view: 80 columns where the screen allows, its text clear of
// the view's own frame, and the dialog with its frame within the screen's
// share; on a low screen it keeps the least height its frame asks for.
TEST(ChooseBodyLayout, ScrolledViewFitsItsFrameInTheScreenShare) {
  const FontMetrics font{20, 9};
  std::u16string body;
  for (int i = 0; i < 100; ++i) body += u"line\r\n";
  const DialogFrame narrow_label{
      .height = 100, .width = 300, .view_width = 50, .least_view_height = 40, .wrap_columns = 30};
  struct Case {
    const char* what;
    DialogFrame frame;
    ScreenArea screen;
    std::size_t row_columns;
    int height;
  };
  const Case cases[] = {
      {"wide screen", kFrame, {1280, 1024}, 80, ScreenShare(1024) - 160},
      {"narrow screen", kFrame, {640, 200}, 33, 120},
      {"a wider frame leaves fewer columns",
       narrow_label,
       {640, 1024},
       15,
       ScreenShare(1024) - 100},
      {"a low screen keeps the frame's least height", narrow_label, {1280, 100}, 65, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const BodyLayout layout = ChooseBodyLayout(u"H", body, font, c.screen, c.frame);
    EXPECT_EQ(layout.view, BodyView::kScrolled);
    EXPECT_EQ(layout.row_columns, c.row_columns);
    EXPECT_EQ(layout.height, c.height);
    EXPECT_LE(layout.width + c.frame.width, ScreenShare(c.screen.width));
    EXPECT_LE(ColumnsWidth(font, static_cast<int>(layout.row_columns)) + c.frame.view_width,
              layout.width);
  }
}

}  // namespace
}  // namespace zprava
