#pragma once

#include <gtk/gtk.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "gtk/gobject_ptr.h"
#include "text/display_rows.h"
#include "text/text.h"

namespace zprava {

// A read-only view of a notice of any length and shape. It keeps the text as
// it is, cut into rows of a bounded length in one linear pass, and lays out
// only the rows on screen, so no paragraph however long ever reaches the
// layout engine whole. It takes focus, has a caret and a selection moved by
// keys and mouse, copies with Ctrl+C or its context menu, and serves its
// text to screen readers from the notice itself (see notice_view_accessible).
//
// Positions are code units of the notice text.
class NoticeView {
 public:
  // The framed view of `text` with its scroll bar, of the given size, and in
  // `area` the part that takes focus; the widget owns the view.
  static GtkWidget* New(NoticeText text, std::size_t row_columns, int width, int height,
                        GtkWidget*& area);

  std::u16string_view Text() const { return text_; }
  const DisplayRows& Rows() const { return rows_; }
  std::size_t Caret() const { return caret_; }
  // The selection, first position first; empty when nothing is selected.
  std::size_t SelectionStart() const { return std::min(anchor_, caret_); }
  std::size_t SelectionEnd() const { return std::max(anchor_, caret_); }

  // Moves the caret, keeping the selection's other end when `extend`.
  void MoveCaret(std::size_t at, bool extend);
  void Select(std::size_t from, std::size_t to);
  void SelectAll();

  // The display text (UTF-8) between two positions.
  std::string ShownText(std::size_t from, std::size_t to) const;
  // The row `index`'s text as laid out, with the byte each of its code units starts at.
  struct ShownRow {
    DisplayRows::Row row;
    std::string utf8;
    std::vector<int> byte_at;  // one more than the row's units
  };
  ShownRow ShowRow(std::size_t start) const;
  // Where the caret stops before and after `at`: never inside a surrogate
  // pair, a CR LF or a character with its combining marks.
  std::size_t NextStop(std::size_t at) const;
  std::size_t PreviousStop(std::size_t at) const;

  // Where words and sentences start and end, as the toolkit finds them in
  // the user's language, for the characters within reach of `at`: the
  // position each character starts at, one past the last, and the toolkit's
  // breaks before each of them.
  struct TextBreaks {
    std::vector<std::size_t> unit_of_char;
    std::vector<PangoLogAttr> attrs;
  };
  TextBreaks BreaksAround(std::size_t at) const;
  // Where Ctrl+Right and Ctrl+Left go, as in a text view: the end of the word
  // after `at`, the start of the word before it.
  std::size_t NextWordEnd(std::size_t at) const;
  std::size_t PreviousWordStart(std::size_t at) const;

  GtkWidget* Area() const { return area_; }

  // Where the character at `at` is drawn, in the area's pixels; false when
  // its row is not on screen.
  bool CharacterBox(std::size_t at, GdkRectangle& box) const;
  // The caret position nearest a point in the area's pixels, or with
  // `character_under` the start of the character under it.
  std::size_t PositionAt(double x, double y, bool character_under = false) const;

 private:
  NoticeView(NoticeText text, std::size_t row_columns);
  NoticeView(const NoticeView&) = delete;  // its rows point into its own text
  NoticeView& operator=(const NoticeView&) = delete;
  GtkWidget* Build(int width, int height);
  std::size_t CharacterStart(std::size_t at) const;
  std::size_t RowEndStop(const DisplayRows::Row& row) const;

  static gboolean Draw(GtkWidget* area, cairo_t* cr, gpointer data);
  static void Allocated(GtkWidget* area, GdkRectangle* allocation, gpointer data);
  static gboolean Scrolled(GtkWidget*, GdkEventScroll* event, gpointer data);
  static gboolean KeyPressed(GtkWidget*, GdkEventKey* event, gpointer data);
  static gboolean Pressed(GtkWidget* area, GdkEventButton* event, gpointer data);
  static gboolean Dragged(GtkWidget*, GdkEventMotion* event, gpointer data);
  static gboolean PopupMenuKey(GtkWidget*, gpointer data);
  static void FocusChanged(GtkWidget* area, GdkEventFocus*, gpointer);

  GObjectPtr<PangoLayout> NewRowLayout() const;
  void DrawRow(cairo_t* cr, PangoLayout* layout, const ShownRow& shown, int y,
               bool holds_caret) const;
  bool MoveByKey(guint keyval, bool control, bool extend);
  std::size_t LastPageTop() const;
  std::size_t TopRow() const;
  void ScrollBy(double rows);
  void ScrollToCaret();
  void ShowMenu(const GdkEvent* event);
  void Copy() const;
  void OfferPrimarySelection();
  void SelectionChanged(bool caret_moved, bool selection_changed);

  NoticeText text_;
  DisplayRows rows_;  // over text_
  GObjectPtr<GtkAdjustment> adjustment_;
  GtkWidget* area_ = nullptr;
  std::size_t caret_ = 0;
  std::size_t anchor_ = 0;
  struct DrawnRow {
    std::size_t start;
    int y;
    int height;
  };
  std::vector<DrawnRow> drawn_;  // the rows on screen at the last drawing
  std::size_t rows_in_view_ = 1;
};

// The toolkit's character classes: a combining mark, a joiner and what it
// joins and a skin tone keep with the character before; East Asian wide
// characters take two columns, zero-width ones none.
CharacterClasses CharacterClassesOnScreen();

// The view an area made by NoticeView::New shows, or nullptr.
NoticeView* NoticeViewOf(GtkWidget* area);

}  // namespace zprava
