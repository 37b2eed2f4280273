#include <algorithm>

#include "gtk/notice_view.h"
#include "text/display_text.h"
#include "text/unicode.h"

namespace zprava {
namespace {

constexpr int kMargin = kNoticeViewMargin;

}  // namespace

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

// The scroll range counts rows; it reaches as far as the last row at the
// top, so that every row can be seen whatever heights wrapping gives them.
void NoticeView::Allocated(GtkWidget* area, GdkRectangle* allocation, gpointer data) {
  auto* self = static_cast<NoticeView*>(data);
  const GObjectPtr<PangoLayout> layout(gtk_widget_create_pango_layout(area, "Ag"));
  int line_height = 1;
  pango_layout_get_pixel_size(layout.get(), nullptr, &line_height);
  self->row_height_ = std::max(1, line_height);
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
                                shown.byte_at[state_.Selected().caret - shown.row.start],
                                PANGO_DIRECTION_LTR);
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
  std::size_t rows_in_view = 0;
  const std::size_t caret_row = self->rows_.IndexOf(self->state_.Selected().caret);
  int y = kMargin;
  for (std::size_t index = self->TopRow(), start = self->rows_.Start(index);
       index < self->rows_.Count() && y < height; ++index) {
    const ShownRow shown = self->ShowRow(start);
    self->DrawRow(cr, layout.get(), shown, y, index == caret_row);
    int row_height = 0;
    pango_layout_get_pixel_size(layout.get(), nullptr, &row_height);
    self->drawn_.push_back({start, y, row_height});
    y += row_height;
    if (y <= height - kMargin) ++rows_in_view;
    start = shown.row.next;
  }
  self->state_.SetRowsInView(rows_in_view);
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

std::size_t NoticeView::PositionAt(double x, double y, bool character_under) const {
  if (drawn_.empty()) return state_.Selected().caret;
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

NoticeView::CharacterPlace NoticeView::CharacterBox(std::size_t at) const {
  const std::size_t index = rows_.IndexOf(at);
  CharacterPlace place{{0, 0, 0, 0}, 0};
  int y = 0;
  // The rows drawn last, which scrolling since may have left for others.
  const std::size_t first = drawn_.empty() ? TopRow() : rows_.IndexOf(drawn_.front().start);
  const std::size_t count = drawn_.empty() ? state_.RowsInView() : drawn_.size();
  if (index < first) {
    place.rows_away = -static_cast<std::ptrdiff_t>(first - index);
  } else if (index >= first + count) {
    place.rows_away = static_cast<std::ptrdiff_t>(index - (first + count) + 1);
  } else {
    y = drawn_.empty() ? kMargin + static_cast<int>(index - first) * row_height_
                       : drawn_[index - first].y;
  }
  const ShownRow shown = ShowRow(rows_.Start(index));
  const GObjectPtr<PangoLayout> layout = NewRowLayout();
  pango_layout_set_text(layout.get(), shown.utf8.data(), static_cast<int>(shown.utf8.size()));
  PangoRectangle pango_box;
  const std::size_t column = std::min(at - shown.row.start, shown.row.text.size());
  pango_layout_index_to_pos(layout.get(), shown.byte_at[column], &pango_box);
  pango_extents_to_pixels(&pango_box, nullptr);
  place.box = {kMargin + pango_box.x, y + pango_box.y, pango_box.width, pango_box.height};
  return place;
}

}  // namespace zprava
