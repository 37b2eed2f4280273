#include "gtk/notice_view_accessible.h"

#include <gtk/gtk-a11y.h>

#include <algorithm>
#include <string>

#include "gtk/guarded_callback.h"
#include "gtk/notice_view.h"
#include "gtk/text_attributes.h"
#include "text/caret.h"
#include "text/row_spans.h"

namespace zprava {
namespace {

// ATK counts in gint; a notice past two thousand million characters is read
// as far as that.
gint ToAtk(std::size_t offset) {
  return static_cast<gint>(std::min<std::size_t>(offset, G_MAXINT));
}

NoticeView* ViewOf(AtkText* text) {
  GtkWidget* area = gtk_accessible_get_widget(GTK_ACCESSIBLE(text));
  return area == nullptr ? nullptr : NoticeViewOf(area);
}

// ATK counts characters of the text as shown; the view counts code units.
gchar* SpanText(const NoticeView& view, TextSpan span, gint* start, gint* end) {
  const DisplayRows& rows = view.Rows();
  *start = ToAtk(rows.CharOfUnit(span.begin));
  *end = ToAtk(rows.CharOfUnit(span.end));
  return g_strdup(view.ShownText(span.begin, span.end).c_str());
}

std::uint8_t EdgeOf(AtkTextBoundary boundary) {
  switch (boundary) {
    case ATK_TEXT_BOUNDARY_WORD_START:
      return TextBreaks::kWordStart;
    case ATK_TEXT_BOUNDARY_WORD_END:
      return TextBreaks::kWordEnd;
    case ATK_TEXT_BOUNDARY_SENTENCE_START:
      return TextBreaks::kSentenceStart;
    default:
      return TextBreaks::kSentenceEnd;
  }
}

// The most characters one request gets. All of a huge notice, asked for
// once the whole of it is selected, is more than a D-Bus message holds: the
// screen reader got nothing after seconds, took the selection for empty
// and went through every offset of it. Less than all still tells it that
// there is a selection, and what it begins with.
constexpr std::size_t kMostCharsAtOnce = std::size_t{1} << 20;

gchar* GetText(AtkText* text, gint start, gint end) {
  const NoticeView* view = ViewOf(text);
  if (view == nullptr) return nullptr;
  const DisplayRows& rows = view->Rows();
  const auto from = static_cast<std::size_t>(std::max(start, 0));
  std::size_t to = end < 0 ? rows.CharCount() : static_cast<std::size_t>(end);
  to = std::min(to, from + kMostCharsAtOnce);
  return g_strdup(view->ShownText(rows.UnitOfChar(from), rows.UnitOfChar(to)).c_str());
}

gchar* GetTextAtOffset(AtkText* text, gint offset, AtkTextBoundary boundary, gint* start,
                       gint* end) {
  *start = *end = 0;
  const NoticeView* view = ViewOf(text);
  if (view == nullptr) return nullptr;
  const std::size_t at = view->Rows().UnitOfChar(static_cast<std::size_t>(std::max(offset, 0)));
  switch (boundary) {
    case ATK_TEXT_BOUNDARY_CHAR:
      return SpanText(*view, CharAt(view->Text(), at), start, end);
    case ATK_TEXT_BOUNDARY_LINE_START:
      return SpanText(*view, RowFromItsStart(view->Rows(), at), start, end);
    case ATK_TEXT_BOUNDARY_LINE_END:
      return SpanText(*view, RowToItsEnd(view->Rows(), at), start, end);
    default:
      return SpanText(*view, UnitAround(view->BreaksAround(at), at, EdgeOf(boundary)), start, end);
  }
}

gunichar GetCharacterAtOffset(AtkText* text, gint offset) {
  const NoticeView* view = ViewOf(text);
  if (view == nullptr) return 0;
  const TextSpan span =
      CharAt(view->Text(), view->Rows().UnitOfChar(static_cast<std::size_t>(std::max(offset, 0))));
  const std::string shown = view->ShownText(span.begin, span.end);
  return shown.empty() ? 0 : g_utf8_get_char(shown.c_str());
}

gint GetCharacterCount(AtkText* text) {
  const NoticeView* view = ViewOf(text);
  return view == nullptr ? 0 : ToAtk(view->Rows().CharCount());
}

gint GetCaretOffset(AtkText* text) {
  const NoticeView* view = ViewOf(text);
  return view == nullptr ? 0 : ToAtk(view->Rows().CharOfUnit(view->Caret()));
}

gboolean SetCaretOffset(AtkText* text, gint offset) {
  NoticeView* view = ViewOf(text);
  if (view == nullptr) return FALSE;
  view->MoveCaret(view->Rows().UnitOfChar(static_cast<std::size_t>(std::max(offset, 0))), false);
  return TRUE;
}

gint GetNSelections(AtkText* text) {
  const NoticeView* view = ViewOf(text);
  return view != nullptr && view->SelectionStart() != view->SelectionEnd() ? 1 : 0;
}

gchar* GetSelection(AtkText* text, gint selection, gint* start, gint* end) {
  *start = *end = 0;
  const NoticeView* view = ViewOf(text);
  if (view == nullptr || selection != 0 || view->SelectionStart() == view->SelectionEnd()) {
    return nullptr;
  }
  const DisplayRows& rows = view->Rows();
  *start = ToAtk(rows.CharOfUnit(view->SelectionStart()));
  *end = ToAtk(rows.CharOfUnit(view->SelectionEnd()));
  return GetText(text, *start, *end);  // AT-SPI tells only the offsets
}

gboolean SetSelection(AtkText* text, gint selection, gint start, gint end) {
  NoticeView* view = ViewOf(text);
  if (view == nullptr || selection != 0) return FALSE;
  const DisplayRows& rows = view->Rows();
  view->Select(rows.UnitOfChar(static_cast<std::size_t>(std::max(start, 0))),
               rows.UnitOfChar(static_cast<std::size_t>(std::max(end, 0))));
  return TRUE;
}

gboolean AddSelection(AtkText* text, gint start, gint end) {
  return GetNSelections(text) == 0 && SetSelection(text, 0, start, end);
}

gboolean RemoveSelection(AtkText* text, gint selection) {
  NoticeView* view = ViewOf(text);
  if (view == nullptr || selection != 0) return FALSE;
  view->MoveCaret(view->Caret(), false);
  return TRUE;
}

// The area's origin on the screen, or in its toplevel window.
bool AreaOrigin(GtkWidget* area, AtkCoordType coords, int& x, int& y) {
  GdkWindow* window = gtk_widget_get_window(area);
  if (window == nullptr) return false;
  gdk_window_get_origin(window, &x, &y);
  if (coords == ATK_XY_WINDOW) {
    int top_x = 0, top_y = 0;
    gdk_window_get_origin(gdk_window_get_toplevel(window), &top_x, &top_y);
    x -= top_x;
    y -= top_y;
  }
  return true;
}

std::size_t UnitAt(const NoticeView& view, gint offset) {
  return view.Rows().UnitOfChar(static_cast<std::size_t>(std::max(offset, 0)));
}

// Where the character at `offset` is on the screen, or in the toplevel
// window. A row scrolled out of the view is placed off the screen, above it
// or below, in the order of the rows, so that a screen reader reviewing the
// screen finds the rows the view shows and no others, and still finds by
// their places which rows come before the view and which after it.
bool PlaceOf(const NoticeView& view, gint offset, AtkCoordType coords, GdkRectangle& box) {
  GdkWindow* window = gtk_widget_get_window(view.Area());
  if (window == nullptr) return false;
  const NoticeView::CharacterPlace place = view.CharacterBox(UnitAt(view, offset));
  int x = 0, y = 0;
  gdk_window_get_origin(window, &x, &y);
  box = place.box;
  box.x += x;
  if (place.rows_away == 0) {
    box.y += y;
  } else {
    const std::ptrdiff_t rows =
        std::min<std::ptrdiff_t>(place.rows_away < 0 ? -place.rows_away : place.rows_away - 1,
                                 G_MAXINT / 4 / view.RowHeight());
    const int away = static_cast<int>(rows) * view.RowHeight();
    box.y += place.rows_away < 0 ? -view.RowHeight() - away
                                 : gdk_window_get_height(gdk_get_default_root_window()) + away;
  }
  if (coords == ATK_XY_WINDOW) {
    int top_x = 0, top_y = 0;
    gdk_window_get_origin(gdk_window_get_toplevel(window), &top_x, &top_y);
    box.x -= top_x;
    box.y -= top_y;
  }
  return true;
}

// For magnifiers, which follow the caret, for reading what is under the
// pointer, and for a screen reader's review of the screen, which finds the
// lines shown by where their characters are.
void GetCharacterExtents(AtkText* text, gint offset, gint* x, gint* y, gint* width, gint* height,
                         AtkCoordType coords) {
  *x = *y = *width = *height = 0;
  const NoticeView* view = ViewOf(text);
  GdkRectangle box;
  if (view == nullptr || !PlaceOf(*view, offset, coords, box)) return;
  *x = box.x;
  *y = box.y;
  *width = box.width;
  *height = box.height;
}

// The box around the characters from `start` to `end`: across the view's
// width where they take more than one row.
void GetRangeExtents(AtkText* text, gint start, gint end, AtkCoordType coords,
                     AtkTextRectangle* rect) {
  *rect = {0, 0, 0, 0};
  const NoticeView* view = ViewOf(text);
  GdkRectangle first, last;
  if (view == nullptr || end <= start || !PlaceOf(*view, start, coords, first) ||
      !PlaceOf(*view, end - 1, coords, last)) {
    return;
  }
  GdkRectangle box;
  gdk_rectangle_union(&first, &last, &box);
  int origin_x = 0, origin_y = 0;
  if (last.y != first.y && AreaOrigin(view->Area(), coords, origin_x, origin_y)) {
    box.x = origin_x + kNoticeViewMargin;
    box.width = gtk_widget_get_allocated_width(view->Area()) - 2 * kNoticeViewMargin;
  }
  *rect = {box.x, box.y, box.width, box.height};
}

gint GetOffsetAtPoint(AtkText* text, gint x, gint y, AtkCoordType coords) {
  const NoticeView* view = ViewOf(text);
  int origin_x = 0, origin_y = 0;
  if (view == nullptr || !AreaOrigin(view->Area(), coords, origin_x, origin_y)) return -1;
  x -= origin_x;
  y -= origin_y;
  if (x < 0 || y < 0 || x >= gtk_widget_get_allocated_width(view->Area()) ||
      y >= gtk_widget_get_allocated_height(view->Area())) {
    return -1;
  }
  return ToAtk(view->Rows().CharOfUnit(view->PositionAt(x, y, true)));
}

AtkAttributeSet* GetDefaultAttributes(AtkText* text) {
  const NoticeView* view = ViewOf(text);
  return view == nullptr ? nullptr : ShownAttributes(view->Area());
}

// The whole notice is one run in the default attributes, so a run holds
// nothing of its own. Screen readers split what they speak at the run's ends:
// an empty run would leave them nothing to say.
AtkAttributeSet* GetRunAttributes(AtkText* text, gint, gint* start, gint* end) {
  const NoticeView* view = ViewOf(text);
  *start = 0;
  *end = view == nullptr ? 0 : ToAtk(view->Rows().CharCount());
  return nullptr;
}

}  // namespace
}  // namespace zprava

struct ZpravaNoticeAccessible {
  GtkWidgetAccessible parent_instance;
};
struct ZpravaNoticeAccessibleClass {
  GtkWidgetAccessibleClass parent_class;
};

static void zprava_notice_accessible_text_init(AtkTextIface* iface) {
  using namespace zprava;
  iface->get_text = Guarded<GetText>;
  iface->get_text_at_offset = Guarded<GetTextAtOffset>;
  iface->get_character_at_offset = Guarded<GetCharacterAtOffset>;
  iface->get_character_count = Guarded<GetCharacterCount>;
  iface->get_caret_offset = Guarded<GetCaretOffset>;
  iface->set_caret_offset = Guarded<SetCaretOffset>;
  iface->get_n_selections = Guarded<GetNSelections>;
  iface->get_selection = Guarded<GetSelection>;
  iface->set_selection = Guarded<SetSelection>;
  iface->add_selection = Guarded<AddSelection>;
  iface->remove_selection = Guarded<RemoveSelection>;
  iface->get_character_extents = Guarded<GetCharacterExtents>;
  iface->get_range_extents = Guarded<GetRangeExtents>;
  iface->get_offset_at_point = Guarded<GetOffsetAtPoint, -1>;
  iface->get_run_attributes = Guarded<GetRunAttributes>;
  iface->get_default_attributes = Guarded<GetDefaultAttributes>;
}

G_DEFINE_TYPE_WITH_CODE(ZpravaNoticeAccessible, zprava_notice_accessible,
                        GTK_TYPE_WIDGET_ACCESSIBLE,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_TEXT, zprava_notice_accessible_text_init))

static void zprava_notice_accessible_initialize(AtkObject* object, gpointer data) {
  ATK_OBJECT_CLASS(zprava_notice_accessible_parent_class)->initialize(object, data);
  object->role = ATK_ROLE_TEXT;
}

static AtkStateSet* zprava_notice_accessible_ref_state_set(AtkObject* object) {
  AtkStateSet* states =
      ATK_OBJECT_CLASS(zprava_notice_accessible_parent_class)->ref_state_set(object);
  atk_state_set_add_state(states, ATK_STATE_MULTI_LINE);
  atk_state_set_add_state(states, ATK_STATE_READ_ONLY);
  atk_state_set_add_state(states, ATK_STATE_SELECTABLE_TEXT);
  return states;
}

static void zprava_notice_accessible_class_init(ZpravaNoticeAccessibleClass* accessible_class) {
  AtkObjectClass* object_class = ATK_OBJECT_CLASS(accessible_class);
  object_class->initialize = zprava_notice_accessible_initialize;
  object_class->ref_state_set = zprava_notice_accessible_ref_state_set;
}

static void zprava_notice_accessible_init(ZpravaNoticeAccessible*) {}

namespace zprava {

GType NoticeViewAccessibleType() { return zprava_notice_accessible_get_type(); }

void NoticeViewAccessibleChanged(GtkWidget* area, bool caret_moved, bool selection_changed) {
  AtkObject* accessible = gtk_widget_get_accessible(area);
  const NoticeView* view = NoticeViewOf(area);
  if (view == nullptr) return;
  // In the order a text view tells them, the caret's move first: Orca
  // then hears a selection made or dropped by a key with the caret's move,
  // names it after the key (\"page selected from cursor position\") and
  // says nothing more of the caret's new line.
  if (caret_moved) {
    g_signal_emit_by_name(accessible, "text-caret-moved",
                          ToAtk(view->Rows().CharOfUnit(view->Caret())));
  }
  if (selection_changed) g_signal_emit_by_name(accessible, "text-selection-changed");
}

}  // namespace zprava
