#pragma once

#include <gtk/gtk.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "gtk/gobject_ptr.h"
#include "text/caret.h"
#include "text/display_rows.h"
#include "text/text.h"
#include "text/view_state.h"

namespace zprava {

// A read-only view of a notice of any length and shape. It keeps the text as
// it is, cut into rows of a bounded length in one linear pass, and lays out
// only the rows on screen, so no paragraph however long ever reaches the
// layout engine whole. It takes focus, has a caret and a selection moved by
// keys and mouse, copies with Ctrl+C or its context menu, and serves its
// text to screen readers from the notice itself (see notice_view_accessible).
//
// Its parts: notice_view.cpp holds the text and scrolling, and keeps the
// selection and caret in a ViewState (text/view_state.h), which knows no
// toolkit; notice_view_paint.cpp draws rows and finds what is where on
// screen; notice_view_input.cpp takes keys and the mouse;
// notice_view_clipboard.cpp copies, offers the selection and shows the
// context menu.
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
  std::size_t Caret() const { return state_.Selected().caret; }
  // The selection, first position first; empty when nothing is selected.
  std::size_t SelectionStart() const { return state_.Selected().Start(); }
  std::size_t SelectionEnd() const { return state_.Selected().End(); }

  // Moves the caret, keeping the selection's other end when `extend`.
  void MoveCaret(std::size_t at, bool extend);
  void Select(std::size_t from, std::size_t to);
  void SelectAll();

  // The display text (UTF-8) between two positions.
  std::string ShownText(std::size_t from, std::size_t to) const;
  // Words and sentences within reach of `at`, as the toolkit finds them in
  // the user's language.
  TextBreaks BreaksAround(std::size_t at) const;

  GtkWidget* Area() const { return area_; }

  // Where the character at `at` is drawn, in the area's pixels, and how
  // many rows its row is above (negative) or below the rows drawn, 0 when
  // it is drawn; for a row not drawn, the box is placed within the row as
  // if the row were drawn at the top.
  struct CharacterPlace {
    GdkRectangle box;
    std::ptrdiff_t rows_away;
  };
  CharacterPlace CharacterBox(std::size_t at) const;
  int RowHeight() const { return row_height_; }
  // The caret position nearest a point in the area's pixels, or with
  // `character_under` the start of the character under it.
  std::size_t PositionAt(double x, double y, bool character_under = false) const;

 private:
  NoticeView(NoticeText text, std::size_t row_columns);
  NoticeView(const NoticeView&) = delete;  // its rows point into its own text
  NoticeView& operator=(const NoticeView&) = delete;
  GtkWidget* Build(int width, int height);

  // The text, the caret and scrolling (notice_view.cpp).
  void Changed(ViewState::Change change);
  std::size_t TopRow() const;
  void ScrollBy(double rows);
  void ScrollToCaret();

  // Painting (notice_view_paint.cpp). A row's text as laid out, with the
  // byte each of its code units starts at.
  struct ShownRow {
    DisplayRows::Row row;
    std::string utf8;
    std::vector<int> byte_at;  // one more than the row's units
  };
  ShownRow ShowRow(std::size_t start) const;
  GObjectPtr<PangoLayout> NewRowLayout() const;
  void DrawRow(cairo_t* cr, PangoLayout* layout, const ShownRow& shown, int y,
               bool holds_caret) const;
  std::size_t LastPageTop() const;
  static gboolean Draw(GtkWidget* area, cairo_t* cr, gpointer data);
  static void Allocated(GtkWidget* area, GdkRectangle* allocation, gpointer data);

  // Keys and the mouse (notice_view_input.cpp).
  bool MoveByKey(guint keyval, bool control, bool extend);
  static gboolean KeyPressed(GtkWidget*, GdkEventKey* event, gpointer data);
  static gboolean Pressed(GtkWidget* area, GdkEventButton* event, gpointer data);
  static gboolean Dragged(GtkWidget*, GdkEventMotion* event, gpointer data);
  static gboolean Scrolled(GtkWidget*, GdkEventScroll* event, gpointer data);
  static gboolean PopupMenuKey(GtkWidget*, gpointer data);
  static gboolean FocusChanged(GtkWidget* area, GdkEventFocus*, gpointer);

  // The clipboard and the context menu (notice_view_clipboard.cpp).
  void ShowMenu(const GdkEvent* event);
  void Copy() const;
  void OfferPrimarySelection();

  NoticeText text_;
  DisplayRows rows_;        // over text_
  CaretRules caret_rules_;  // over text_ and rows_
  ViewState state_;         // over rows_ and caret_rules_
  GObjectPtr<GtkAdjustment> adjustment_;
  GtkWidget* area_ = nullptr;
  struct DrawnRow {
    std::size_t start;
    int y;
    int height;
  };
  std::vector<DrawnRow> drawn_;  // the rows on screen at the last drawing
  int row_height_ = 1;           // of a row of one line, as allocated
};

// The view an area made by NoticeView::New shows, or nullptr.
NoticeView* NoticeViewOf(GtkWidget* area);

// The space between the view's frame and its text, in pixels.
inline constexpr int kNoticeViewMargin = 6;

}  // namespace zprava
