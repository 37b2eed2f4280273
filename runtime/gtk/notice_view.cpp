#include "gtk/notice_view.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "gtk/guarded_callback.h"
#include "gtk/notice_view_accessible.h"
#include "text/display_text.h"
#include "text/line_end.h"
#include "text/unicode.h"

// The drawing area the view draws on, a type of its own only so that it can
// name its accessible type: screen readers then find text in it.
struct ZpravaNoticeArea {
  GtkDrawingArea parent_instance;
};
struct ZpravaNoticeAreaClass {
  GtkDrawingAreaClass parent_class;
};
G_DEFINE_TYPE(ZpravaNoticeArea, zprava_notice_area, GTK_TYPE_DRAWING_AREA)
static void zprava_notice_area_class_init(ZpravaNoticeAreaClass* area_class) {
  gtk_widget_class_set_accessible_type(GTK_WIDGET_CLASS(area_class),
                                       zprava::NoticeViewAccessibleType());
}
static void zprava_notice_area_init(ZpravaNoticeArea*) {}

namespace zprava {
namespace {

constexpr int kMargin = 6;
constexpr const char* kViewKey = "zprava-notice-view";

void FreeView(gpointer view) { delete static_cast<NoticeView*>(view); }

// The selected text, for a program that pastes the primary selection.
void GiveSelection(GtkClipboard*, GtkSelectionData* data, guint, gpointer owner) {
  const NoticeView* view = NoticeViewOf(GTK_WIDGET(owner));
  if (view == nullptr) return;
  const std::string text = view->ShownText(view->SelectionStart(), view->SelectionEnd());
  if (text.size() > G_MAXINT) return;
  gtk_selection_data_set_text(data, text.data(), static_cast<gint>(text.size()));
}

}  // namespace

namespace {

bool KeepsTogetherOnScreen(char32_t previous, char32_t next) {
  constexpr char32_t kZeroWidthJoiner = 0x200D;
  const bool skin_tone = next >= 0x1F3FB && next <= 0x1F3FF;
  return g_unichar_ismark(next) || g_unichar_iszerowidth(next) || previous == kZeroWidthJoiner ||
         skin_tone;
}

int ColumnsOnScreen(char32_t c) {
  if (g_unichar_iszerowidth(c)) return 0;
  return g_unichar_iswide(c) ? 2 : 1;
}

}  // namespace

CharacterClasses CharacterClassesOnScreen() { return {KeepsTogetherOnScreen, ColumnsOnScreen}; }

NoticeView* NoticeViewOf(GtkWidget* area) {
  return static_cast<NoticeView*>(g_object_get_data(G_OBJECT(area), kViewKey));
}

NoticeView::NoticeView(NoticeText text, std::size_t row_columns)
    : text_(std::move(text)),
      rows_(text_, row_columns, CharacterClassesOnScreen()),
      adjustment_(GTK_ADJUSTMENT(g_object_ref_sink(gtk_adjustment_new(0, 0, 1, 1, 1, 1)))) {}

GtkWidget* NoticeView::New(NoticeText text, std::size_t row_columns, int width, int height,
                           GtkWidget*& area) {
  std::unique_ptr<NoticeView> view(new NoticeView(std::move(text), row_columns));
  GtkWidget* framed = view->Build(width, height);
  area = view->area_;
  g_object_set_data_full(G_OBJECT(area), kViewKey, view.release(), FreeView);
  return framed;
}

GtkWidget* NoticeView::Build(int width, int height) {
  area_ = GTK_WIDGET(g_object_new(zprava_notice_area_get_type(), nullptr));
  gtk_widget_set_can_focus(area_, TRUE);
  gtk_widget_set_hexpand(area_, TRUE);
  gtk_widget_add_events(area_, GDK_SCROLL_MASK | GDK_SMOOTH_SCROLL_MASK | GDK_BUTTON_PRESS_MASK |
                                   GDK_BUTTON1_MOTION_MASK | GDK_KEY_PRESS_MASK |
                                   GDK_FOCUS_CHANGE_MASK);
  gtk_style_context_add_class(gtk_widget_get_style_context(area_), GTK_STYLE_CLASS_VIEW);
  g_signal_connect(area_, "draw", G_CALLBACK(GuardedEvent<Draw>), this);
  g_signal_connect(area_, "size-allocate", G_CALLBACK(Guarded<Allocated>), this);
  g_signal_connect(area_, "scroll-event", G_CALLBACK(GuardedEvent<Scrolled>), this);
  g_signal_connect(area_, "key-press-event", G_CALLBACK(GuardedEvent<KeyPressed>), this);
  g_signal_connect(area_, "button-press-event", G_CALLBACK(GuardedEvent<Pressed>), this);
  g_signal_connect(area_, "motion-notify-event", G_CALLBACK(GuardedEvent<Dragged>), this);
  g_signal_connect(area_, "popup-menu", G_CALLBACK(GuardedEvent<PopupMenuKey>), this);
  g_signal_connect(area_, "focus-in-event", G_CALLBACK(Guarded<FocusChanged>), nullptr);
  g_signal_connect(area_, "focus-out-event", G_CALLBACK(Guarded<FocusChanged>), nullptr);
  g_signal_connect_object(adjustment_.get(), "value-changed", G_CALLBACK(gtk_widget_queue_draw),
                          area_, G_CONNECT_SWAPPED);

  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
  gtk_box_pack_start(GTK_BOX(box), area_, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(box), gtk_scrollbar_new(GTK_ORIENTATION_VERTICAL, adjustment_.get()),
                     FALSE, FALSE, 0);
  GtkWidget* frame = gtk_frame_new(nullptr);
  gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_IN);
  gtk_widget_set_size_request(frame, width, height);
  gtk_container_add(GTK_CONTAINER(frame), box);
  return frame;
}

std::string NoticeView::ShownText(std::size_t from, std::size_t to) const {
  to = std::min(to, text_.size());
  from = std::min(from, to);
  return ToDisplayUtf8(std::u16string_view(text_).substr(from, to - from), DisplayTarget::kDialog);
}

NoticeView::ShownRow NoticeView::ShowRow(std::size_t start) const {
  ShownRow shown{rows_.RowAt(start), {}, {}};
  const std::u16string_view row = shown.row.text;
  shown.byte_at.reserve(row.size() + 1);
  for (std::size_t at = 0; at < row.size();) {
    const std::size_t length = CodePointAt(row, at).length;
    shown.byte_at.insert(shown.byte_at.end(), length, static_cast<int>(shown.utf8.size()));
    shown.utf8 += ToDisplayUtf8(row.substr(at, length), DisplayTarget::kDialog);
    at += length;
  }
  shown.byte_at.push_back(static_cast<int>(shown.utf8.size()));
  return shown;
}

std::size_t NoticeView::NextStop(std::size_t at) const {
  if (at >= text_.size()) return text_.size();
  if (const std::size_t line_end = LineEndLength(std::u16string_view(text_), at)) {
    return at + line_end;
  }
  // A cluster longer than this (marks piled up without end) is stepped
  // through in parts, as rows cut it: a key press stays cheap.
  constexpr std::size_t kLongestCluster = 32;
  const std::size_t most = std::min(text_.size(), at + kLongestCluster);
  char32_t previous = CodePointAt(text_, at).value;
  at += CodePointAt(text_, at).length;
  while (at < most && !IsLineEndUnit(text_[at])) {
    const CodePoint next = CodePointAt(text_, at);
    if (!CharacterClassesOnScreen().keeps_together(previous, next.value)) break;
    previous = next.value;
    at += next.length;
  }
  return at;
}

std::size_t NoticeView::PreviousStop(std::size_t at) const {
  at = std::min(at, text_.size());
  if (at == 0) return 0;
  // Back to the row's start at most, then forward from there by stops: rows
  // are short, and start at a stop unless a cluster was too long for one.
  const std::size_t row_start = rows_.Start(rows_.IndexOf(at - 1));
  std::size_t stop = row_start;
  for (std::size_t next = NextStop(stop); next < at; next = NextStop(next)) stop = next;
  return stop;
}

NoticeView::TextBreaks NoticeView::BreaksAround(std::size_t at) const {
  constexpr std::size_t kReach = 4096;  // code units either side
  at = std::min(at, text_.size());
  const std::size_t from = at > kReach ? rows_.Start(rows_.IndexOf(at - kReach)) : 0;
  const std::size_t to = std::min(text_.size(), at + kReach);
  TextBreaks breaks;
  std::size_t unit = from;
  while (unit < to) {
    breaks.unit_of_char.push_back(unit);
    const std::size_t line_end = LineEndLength(std::u16string_view(text_), unit);
    unit += line_end != 0 ? line_end : CodePointAt(text_, unit).length;
  }
  breaks.unit_of_char.push_back(unit);
  const std::string shown = ShownText(from, unit);
  breaks.attrs.resize(breaks.unit_of_char.size());
  pango_get_log_attrs(shown.data(), static_cast<int>(shown.size()), -1,
                      pango_language_get_default(), breaks.attrs.data(),
                      static_cast<int>(breaks.attrs.size()));
  return breaks;
}

std::size_t NoticeView::NextWordEnd(std::size_t at) const {
  const TextBreaks breaks = BreaksAround(at);
  for (std::size_t i = 0; i < breaks.attrs.size(); ++i) {
    if (breaks.unit_of_char[i] > at && breaks.attrs[i].is_word_end) return breaks.unit_of_char[i];
  }
  return breaks.unit_of_char.back();
}

std::size_t NoticeView::PreviousWordStart(std::size_t at) const {
  const TextBreaks breaks = BreaksAround(at);
  for (std::size_t i = breaks.attrs.size(); i-- > 0;) {
    if (breaks.unit_of_char[i] < at && breaks.attrs[i].is_word_start) {
      return breaks.unit_of_char[i];
    }
  }
  return breaks.unit_of_char.front();
}

// Positions from outside (a screen reader's offsets) may fall inside a
// surrogate pair or a CR LF; the caret and selection never do.
std::size_t NoticeView::CharacterStart(std::size_t at) const {
  at = std::min(at, text_.size());
  return SplitsCharacter(text_, at) ? at - 1 : at;
}

void NoticeView::MoveCaret(std::size_t at, bool extend) {
  at = CharacterStart(at);
  const bool had_selection = anchor_ != caret_;
  const bool moved = at != caret_;
  caret_ = at;
  if (!extend) anchor_ = at;
  SelectionChanged(moved, had_selection || anchor_ != caret_);
}

void NoticeView::Select(std::size_t from, std::size_t to) {
  const std::size_t caret = caret_;
  anchor_ = CharacterStart(from);
  caret_ = CharacterStart(to);
  SelectionChanged(caret_ != caret, true);
}

// As in a text view, the caret stays at the start, where reading begins.
void NoticeView::SelectAll() { Select(text_.size(), 0); }

void NoticeView::SelectionChanged(bool caret_moved, bool selection_changed) {
  ScrollToCaret();
  gtk_widget_queue_draw(area_);
  if (selection_changed) OfferPrimarySelection();
  NoticeViewAccessibleChanged(area_, caret_moved, selection_changed);
}

// The scroll range counts rows; it reaches as far as the last row at the
// top, so that every row can be seen whatever heights wrapping gives them.
void NoticeView::Allocated(GtkWidget* area, GdkRectangle* allocation, gpointer data) {
  auto* self = static_cast<NoticeView*>(data);
  const GObjectPtr<PangoLayout> layout(gtk_widget_create_pango_layout(area, "Ag"));
  int line_height = 1;
  pango_layout_get_pixel_size(layout.get(), nullptr, &line_height);
  const double page = std::max(1, (allocation->height - 2 * kMargin) / std::max(1, line_height));
  const double rows = static_cast<double>(self->rows_.Count());
  gtk_adjustment_configure(self->adjustment_.get(),
                           gtk_adjustment_get_value(self->adjustment_.get()), 0, rows - 1 + page, 1,
                           std::max(1.0, page - 1), page);
}

// A layout wrapping at the area's width, for one row at a time: a row wider
// than the view (wide characters) wraps within itself rather than being cut off.
GObjectPtr<PangoLayout> NoticeView::NewRowLayout() const {
  GObjectPtr<PangoLayout> layout(gtk_widget_create_pango_layout(area_, nullptr));
  const int width = gtk_widget_get_allocated_width(area_);
  pango_layout_set_width(layout.get(), std::max(1, width - 2 * kMargin) * PANGO_SCALE);
  pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
  return layout;
}

std::size_t NoticeView::TopRow() const {
  return static_cast<std::size_t>(gtk_adjustment_get_value(adjustment_.get()));
}

// The selected part is drawn again over the row, clipped to the selection,
// in the theme's selected colours; the caret where the row holds it.
void NoticeView::DrawRow(cairo_t* cr, PangoLayout* layout, const ShownRow& shown, int y,
                         bool holds_caret) const {
  GtkStyleContext* style = gtk_widget_get_style_context(area_);
  pango_layout_set_text(layout, shown.utf8.data(), static_cast<int>(shown.utf8.size()));
  gtk_render_layout(style, cr, kMargin, y, layout);
  const std::size_t row_end = shown.row.start + shown.row.text.size();
  const std::size_t from = std::max(SelectionStart(), shown.row.start);
  const std::size_t to = std::min(SelectionEnd(), row_end);
  if (from < to || (from == to && SelectionStart() <= row_end && SelectionEnd() > row_end)) {
    int range[2] = {shown.byte_at[from - shown.row.start], shown.byte_at[to - shown.row.start]};
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    // A selected line end shows as a little room after the row's text.
    const bool line_end_selected = SelectionEnd() > row_end && shown.row.next > row_end;
    cairo_region_t* region = gdk_pango_layout_get_clip_region(layout, kMargin, y, range, 1);
    if (line_end_selected) {
      const cairo_rectangle_int_t end{kMargin + width, y, kMargin, height};
      cairo_region_union_rectangle(region, &end);
    }
    cairo_save(cr);
    gdk_cairo_region(cr, region);
    cairo_clip(cr);
    gtk_style_context_save(style);
    gtk_style_context_set_state(
        style,
        static_cast<GtkStateFlags>(gtk_style_context_get_state(style) | GTK_STATE_FLAG_SELECTED));
    gtk_render_background(style, cr, 0, y, gtk_widget_get_allocated_width(area_), height);
    gtk_render_layout(style, cr, kMargin, y, layout);
    gtk_style_context_restore(style);
    cairo_restore(cr);
    cairo_region_destroy(region);
  }
  if (holds_caret && gtk_widget_has_focus(area_)) {
    gtk_render_insertion_cursor(style, cr, kMargin, y, layout,
                                shown.byte_at[caret_ - shown.row.start], PANGO_DIRECTION_LTR);
  }
}

gboolean NoticeView::Draw(GtkWidget* area, cairo_t* cr, gpointer data) {
  auto* self = static_cast<NoticeView*>(data);
  GtkStyleContext* style = gtk_widget_get_style_context(area);
  const int width = gtk_widget_get_allocated_width(area);
  const int height = gtk_widget_get_allocated_height(area);
  gtk_render_background(style, cr, 0, 0, width, height);
  const GObjectPtr<PangoLayout> layout = self->NewRowLayout();
  self->drawn_.clear();
  self->rows_in_view_ = 0;
  const std::size_t caret_row = self->rows_.IndexOf(self->caret_);
  int y = kMargin;
  for (std::size_t index = self->TopRow(), start = self->rows_.Start(index);
       index < self->rows_.Count() && y < height; ++index) {
    const ShownRow shown = self->ShowRow(start);
    self->DrawRow(cr, layout.get(), shown, y, index == caret_row);
    int row_height = 0;
    pango_layout_get_pixel_size(layout.get(), nullptr, &row_height);
    self->drawn_.push_back({start, y, row_height});
    y += row_height;
    if (y <= height - kMargin) ++self->rows_in_view_;
    start = shown.row.next;
  }
  self->rows_in_view_ = std::max<std::size_t>(self->rows_in_view_, 1);
  if (gtk_widget_has_visible_focus(area)) gtk_render_focus(style, cr, 0, 0, width, height);
  return TRUE;
}

// The first row of the last screenful: as many rows from the end as fit.
std::size_t NoticeView::LastPageTop() const {
  const int height = gtk_widget_get_allocated_height(area_) - 2 * kMargin;
  const GObjectPtr<PangoLayout> layout = NewRowLayout();
  auto row_height = [&](std::size_t index) {
    const std::string shown = ShowRow(rows_.Start(index)).utf8;
    pango_layout_set_text(layout.get(), shown.data(), static_cast<int>(shown.size()));
    int pixels = 0;
    pango_layout_get_pixel_size(layout.get(), nullptr, &pixels);
    return pixels;
  };
  std::size_t top = rows_.Count() - 1;
  for (int used = row_height(top); top > 0; --top) {
    used += row_height(top - 1);
    if (used > height) break;
  }
  return top;
}

void NoticeView::ScrollBy(double rows) {
  gtk_adjustment_set_value(adjustment_.get(), gtk_adjustment_get_value(adjustment_.get()) + rows);
}

void NoticeView::ScrollToCaret() {
  const std::size_t row = rows_.IndexOf(caret_);
  const std::size_t top = TopRow();
  if (row < top) {
    gtk_adjustment_set_value(adjustment_.get(), static_cast<double>(row));
  } else if (row >= top + rows_in_view_) {
    gtk_adjustment_set_value(adjustment_.get(), static_cast<double>(row + 1 - rows_in_view_));
  }
}

gboolean NoticeView::Scrolled(GtkWidget*, GdkEventScroll* event, gpointer data) {
  auto* self = static_cast<NoticeView*>(data);
  constexpr double kWheelRows = 3;
  double dx = 0, dy = 0;
  if (event->direction == GDK_SCROLL_UP) {
    self->ScrollBy(-kWheelRows);
  } else if (event->direction == GDK_SCROLL_DOWN) {
    self->ScrollBy(kWheelRows);
  } else if (gdk_event_get_scroll_deltas(reinterpret_cast<GdkEvent*>(event), &dx, &dy)) {
    self->ScrollBy(dy * kWheelRows);
  }
  return TRUE;
}

// Arrows, Page Up/Down, Home and End move the caret as in any text view,
// with Shift selecting and Ctrl reaching the text's ends.
// The last place for the caret in a row. A row that wraps on into the next
// ends where that one starts, and that position belongs to the next row: the
// caret stops one character short of it.
std::size_t NoticeView::RowEndStop(const DisplayRows::Row& row) const {
  const std::size_t end = row.start + row.text.size();
  const bool wraps_on = row.next == end && end < text_.size();
  return wraps_on ? std::max(row.start, PreviousStop(end)) : end;
}

bool NoticeView::MoveByKey(guint keyval, bool control, bool extend) {
  bool forward = false;
  switch (keyval) {
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right:
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down:
    case GDK_KEY_Page_Down:
    case GDK_KEY_KP_Page_Down:
    case GDK_KEY_End:
    case GDK_KEY_KP_End:
      forward = true;
      break;
    default:
      break;
  }
  // A move that drops the selection starts from its edge in the move's
  // direction, as in a text view; Left and Right go just to that edge.
  const bool drops_selection = !extend && anchor_ != caret_;
  const std::size_t from = !drops_selection ? caret_ : forward ? SelectionEnd() : SelectionStart();
  const std::size_t row = rows_.IndexOf(from);
  const DisplayRows::Row current = rows_.RowAt(rows_.Start(row));
  // The same column in another row, or its end when shorter.
  auto in_row = [&](std::size_t index) {
    const DisplayRows::Row target = rows_.RowAt(rows_.Start(index));
    const std::size_t at = std::min(target.start + (from - current.start), RowEndStop(target));
    std::size_t stop = target.start;
    for (std::size_t next = NextStop(stop); next <= at && next > stop; next = NextStop(next)) {
      stop = next;
    }
    return stop;
  };
  const std::size_t last = rows_.Count() - 1;
  std::size_t to = from;
  switch (keyval) {
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left:
      if (control) {
        to = PreviousWordStart(from);
      } else if (!drops_selection) {
        to = PreviousStop(from);
      }
      break;
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right:
      if (control) {
        to = NextWordEnd(from);
      } else if (!drops_selection) {
        to = NextStop(from);
      }
      break;
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up:
      to = row == 0 ? 0 : in_row(row - 1);
      break;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down:
      to = row == last ? text_.size() : in_row(row + 1);
      break;
    case GDK_KEY_Page_Up:
    case GDK_KEY_KP_Page_Up:
      to = in_row(row - std::min(row, rows_in_view_));
      break;
    case GDK_KEY_Page_Down:
    case GDK_KEY_KP_Page_Down:
      to = in_row(std::min(last, row + rows_in_view_));
      break;
    case GDK_KEY_Home:
    case GDK_KEY_KP_Home:
      to = control ? 0 : current.start;
      break;
    case GDK_KEY_End:
    case GDK_KEY_KP_End:
      to = control ? text_.size() : RowEndStop(current);
      break;
    default:
      return false;
  }
  MoveCaret(to, extend);
  if (control && (keyval == GDK_KEY_End || keyval == GDK_KEY_KP_End)) {
    gtk_adjustment_set_value(adjustment_.get(), static_cast<double>(LastPageTop()));
  }
  return true;
}

// Return and Escape are left to the dialog, Tab to focus.
gboolean NoticeView::KeyPressed(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto* self = static_cast<NoticeView*>(data);
  const bool control = (event->state & GDK_CONTROL_MASK) != 0;
  const bool shift = (event->state & GDK_SHIFT_MASK) != 0;
  const guint key = gdk_keyval_to_lower(event->keyval);
  if (control && (key == GDK_KEY_c || key == GDK_KEY_Insert)) {
    self->Copy();
    return TRUE;
  }
  if (control && key == GDK_KEY_a) {
    self->SelectAll();
    return TRUE;
  }
  return self->MoveByKey(event->keyval, control, shift);
}

std::size_t NoticeView::PositionAt(double x, double y, bool character_under) const {
  if (drawn_.empty()) return caret_;
  if (y < drawn_.front().y) return drawn_.front().start;
  const DrawnRow* hit = &drawn_.back();
  for (const DrawnRow& row : drawn_) {
    if (y < row.y + row.height) {
      hit = &row;
      break;
    }
  }
  const ShownRow shown = ShowRow(hit->start);
  const GObjectPtr<PangoLayout> layout = NewRowLayout();
  pango_layout_set_text(layout.get(), shown.utf8.data(), static_cast<int>(shown.utf8.size()));
  int index = 0, trailing = 0;
  pango_layout_xy_to_index(layout.get(), static_cast<int>((x - kMargin) * PANGO_SCALE),
                           static_cast<int>((y - hit->y) * PANGO_SCALE), &index, &trailing);
  // Past the middle of a cluster, Pango counts its characters in `trailing`.
  if (!character_under && trailing > 0) {
    index = static_cast<int>(g_utf8_offset_to_pointer(shown.utf8.data() + index, trailing) -
                             shown.utf8.data());
  }
  const auto unit = static_cast<std::size_t>(
      std::lower_bound(shown.byte_at.begin(), shown.byte_at.end(), index) - shown.byte_at.begin());
  return shown.row.start + std::min(unit, shown.row.text.size());
}

bool NoticeView::CharacterBox(std::size_t at, GdkRectangle& box) const {
  const std::size_t row_start = rows_.Start(rows_.IndexOf(at));
  for (const DrawnRow& drawn : drawn_) {
    if (drawn.start != row_start) continue;
    const ShownRow shown = ShowRow(drawn.start);
    const GObjectPtr<PangoLayout> layout = NewRowLayout();
    pango_layout_set_text(layout.get(), shown.utf8.data(), static_cast<int>(shown.utf8.size()));
    PangoRectangle pango_box;
    const std::size_t column = std::min(at - shown.row.start, shown.row.text.size());
    pango_layout_index_to_pos(layout.get(), shown.byte_at[column], &pango_box);
    pango_extents_to_pixels(&pango_box, nullptr);
    box = {kMargin + pango_box.x, drawn.y + pango_box.y, pango_box.width, pango_box.height};
    return true;
  }
  return false;
}

gboolean NoticeView::Pressed(GtkWidget* area, GdkEventButton* event, gpointer data) {
  auto* self = static_cast<NoticeView*>(data);
  gtk_widget_grab_focus(area);
  if (gdk_event_triggers_context_menu(reinterpret_cast<GdkEvent*>(event))) {
    self->ShowMenu(reinterpret_cast<GdkEvent*>(event));
    return TRUE;
  }
  if (event->button == GDK_BUTTON_PRIMARY && event->type == GDK_BUTTON_PRESS) {
    self->MoveCaret(self->PositionAt(event->x, event->y), (event->state & GDK_SHIFT_MASK) != 0);
  }
  return TRUE;
}

gboolean NoticeView::Dragged(GtkWidget*, GdkEventMotion* event, gpointer data) {
  auto* self = static_cast<NoticeView*>(data);
  const int height = gtk_widget_get_allocated_height(self->area_);
  if (event->y < 0) self->ScrollBy(-1);
  if (event->y > height) self->ScrollBy(1);
  self->MoveCaret(self->PositionAt(event->x, std::clamp<double>(event->y, 0, height - 1)), true);
  return TRUE;
}

gboolean NoticeView::PopupMenuKey(GtkWidget*, gpointer data) {
  static_cast<NoticeView*>(data)->ShowMenu(nullptr);
  return TRUE;
}

void NoticeView::FocusChanged(GtkWidget* area, GdkEventFocus*, gpointer) {
  gtk_widget_queue_draw(area);
}

// The menu's words are the toolkit's own, in the user's language, as in
// every other text view's menu.
void NoticeView::ShowMenu(const GdkEvent* event) {
  GtkWidget* menu = gtk_menu_new();
  gtk_menu_attach_to_widget(GTK_MENU(menu), area_, nullptr);
  GtkWidget* copy = gtk_menu_item_new_with_mnemonic(g_dgettext("gtk30", "_Copy"));
  gtk_widget_set_sensitive(copy, SelectionStart() != SelectionEnd());
  g_signal_connect_swapped(copy, "activate", G_CALLBACK(Guarded<&NoticeView::Copy>), this);
  GtkWidget* select_all = gtk_menu_item_new_with_mnemonic(g_dgettext("gtk30", "Select _All"));
  g_signal_connect_swapped(select_all, "activate", G_CALLBACK(Guarded<&NoticeView::SelectAll>),
                           this);
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), copy);
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), select_all);
  gtk_widget_show_all(menu);
  // The menu goes when it is closed: it is the area's only while shown.
  g_signal_connect(menu, "deactivate", G_CALLBACK(+[](GtkWidget* shown) {
                     g_idle_add_full(
                         G_PRIORITY_DEFAULT,
                         +[](gpointer widget) -> gboolean {
                           gtk_widget_destroy(GTK_WIDGET(widget));
                           return G_SOURCE_REMOVE;
                         },
                         shown, nullptr);
                   }),
                   nullptr);
  if (event != nullptr) {
    gtk_menu_popup_at_pointer(GTK_MENU(menu), event);
  } else {
    gtk_menu_popup_at_widget(GTK_MENU(menu), area_, GDK_GRAVITY_CENTER, GDK_GRAVITY_NORTH_WEST,
                             nullptr);
  }
}

void NoticeView::Copy() const {
  if (SelectionStart() == SelectionEnd()) return;
  const std::string text = ShownText(SelectionStart(), SelectionEnd());
  if (text.size() > G_MAXINT) return;  // more than the toolkit's clipboard takes
  gtk_clipboard_set_text(gtk_widget_get_clipboard(area_, GDK_SELECTION_CLIPBOARD), text.data(),
                         static_cast<gint>(text.size()));
}

// The selection is there to paste with the middle button, as on X11 any
// selected text is; its text is made only when asked for.
void NoticeView::OfferPrimarySelection() {
  GtkClipboard* primary = gtk_widget_get_clipboard(area_, GDK_SELECTION_PRIMARY);
  const bool owned = gtk_clipboard_get_owner(primary) == G_OBJECT(area_);
  if (SelectionStart() == SelectionEnd()) {
    if (owned) gtk_clipboard_clear(primary);  // nothing selected, nothing to paste
    return;
  }
  if (owned) return;
  GtkTargetList* list = gtk_target_list_new(nullptr, 0);
  gtk_target_list_add_text_targets(list, 0);
  int count = 0;
  GtkTargetEntry* targets = gtk_target_table_new_from_list(list, &count);
  gtk_clipboard_set_with_owner(primary, targets, static_cast<guint>(count), Guarded<GiveSelection>,
                               nullptr, G_OBJECT(area_));
  gtk_target_table_free(targets, count);
  gtk_target_list_unref(list);
}

}  // namespace zprava
