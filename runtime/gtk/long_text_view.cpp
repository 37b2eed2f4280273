#include "gtk/long_text_view.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "gtk/gobject_ptr.h"
#include "text/display_rows.h"
#include "text/display_text.h"

namespace zprava {
namespace {

constexpr int kMargin = 6;

class LongTextView {
 public:
  LongTextView(NoticeText text, std::size_t row_units)
      : text_(std::move(text)),
        rows_(text_, row_units),
        adjustment_(GTK_ADJUSTMENT(g_object_ref_sink(gtk_adjustment_new(0, 0, 1, 1, 1, 1)))) {}

  GtkWidget* Build(int width, int height) {
    area_ = gtk_drawing_area_new();
    gtk_widget_set_can_focus(area_, TRUE);
    gtk_widget_set_hexpand(area_, TRUE);
    gtk_widget_add_events(area_, GDK_SCROLL_MASK | GDK_SMOOTH_SCROLL_MASK | GDK_BUTTON_PRESS_MASK |
                                     GDK_KEY_PRESS_MASK);
    gtk_style_context_add_class(gtk_widget_get_style_context(area_), GTK_STYLE_CLASS_VIEW);
    g_object_set_data_full(G_OBJECT(area_), "zprava-long-text", this, Free);
    g_signal_connect(area_, "draw", G_CALLBACK(Draw), this);
    g_signal_connect(area_, "size-allocate", G_CALLBACK(Allocated), this);
    g_signal_connect(area_, "scroll-event", G_CALLBACK(Scrolled), this);
    g_signal_connect(area_, "key-press-event", G_CALLBACK(KeyPressed), this);
    g_signal_connect(area_, "button-press-event", G_CALLBACK(Pressed), this);
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

 private:
  static void Free(gpointer data) { delete static_cast<LongTextView*>(data); }

  // The scroll range counts rows; it reaches as far as the last row at the
  // top, so that every row can be seen whatever heights wrapping gives them.
  static void Allocated(GtkWidget* area, GdkRectangle* allocation, gpointer data) {
    auto* self = static_cast<LongTextView*>(data);
    const GObjectPtr<PangoLayout> layout(gtk_widget_create_pango_layout(area, "Ag"));
    int line_height = 1;
    pango_layout_get_pixel_size(layout.get(), nullptr, &line_height);
    const double page = std::max(1, (allocation->height - 2 * kMargin) / std::max(1, line_height));
    const double rows = static_cast<double>(self->rows_.Count());
    gtk_adjustment_configure(self->adjustment_.get(),
                             gtk_adjustment_get_value(self->adjustment_.get()), 0, rows - 1 + page,
                             1, std::max(1.0, page - 1), page);
  }

  // A layout wrapping at the area's width, for one row at a time.
  GObjectPtr<PangoLayout> NewRowLayout() const {
    GObjectPtr<PangoLayout> layout(gtk_widget_create_pango_layout(area_, nullptr));
    const int width = gtk_widget_get_allocated_width(area_);
    pango_layout_set_width(layout.get(), std::max(1, width - 2 * kMargin) * PANGO_SCALE);
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    return layout;
  }

  // Lays out one row's text; returns its height.
  static int SetRow(PangoLayout* layout, std::u16string_view row) {
    const std::string shown = ToDisplayUtf8(row, DisplayTarget::kDialog);
    pango_layout_set_text(layout, shown.data(), static_cast<int>(shown.size()));  // plain text
    int height = 0;
    pango_layout_get_pixel_size(layout, nullptr, &height);
    return height;
  }

  static gboolean Draw(GtkWidget* area, cairo_t* cr, gpointer data) {
    auto* self = static_cast<LongTextView*>(data);
    GtkStyleContext* style = gtk_widget_get_style_context(area);
    const int width = gtk_widget_get_allocated_width(area);
    const int height = gtk_widget_get_allocated_height(area);
    gtk_render_background(style, cr, 0, 0, width, height);
    const GObjectPtr<PangoLayout> layout = self->NewRowLayout();
    const auto first = static_cast<std::size_t>(gtk_adjustment_get_value(self->adjustment_.get()));
    int y = kMargin;
    for (std::size_t index = first, start = self->rows_.Start(first);
         index < self->rows_.Count() && y < height; ++index) {
      const DisplayRows::Row row = self->rows_.RowAt(start);
      const int row_height = SetRow(layout.get(), row.text);
      gtk_render_layout(style, cr, kMargin, y, layout.get());
      y += row_height;
      start = row.next;
    }
    if (gtk_widget_has_visible_focus(area)) gtk_render_focus(style, cr, 0, 0, width, height);
    return TRUE;
  }

  // The first row of the last screenful: as many rows from the end as fit.
  std::size_t LastPageTop() const {
    const int height = gtk_widget_get_allocated_height(area_) - 2 * kMargin;
    const GObjectPtr<PangoLayout> layout = NewRowLayout();
    std::size_t top = rows_.Count() - 1;
    for (int used = SetRow(layout.get(), rows_.RowAt(rows_.Start(top)).text); top > 0; --top) {
      used += SetRow(layout.get(), rows_.RowAt(rows_.Start(top - 1)).text);
      if (used > height) break;
    }
    return top;
  }

  void ScrollBy(double rows) {
    gtk_adjustment_set_value(adjustment_.get(), gtk_adjustment_get_value(adjustment_.get()) + rows);
  }

  static gboolean Scrolled(GtkWidget*, GdkEventScroll* event, gpointer data) {
    auto* self = static_cast<LongTextView*>(data);
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

  // Return and Escape are left to the dialog.
  static gboolean KeyPressed(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto* self = static_cast<LongTextView*>(data);
    const double page = gtk_adjustment_get_page_increment(self->adjustment_.get());
    switch (event->keyval) {
      case GDK_KEY_Up:
      case GDK_KEY_KP_Up:
        self->ScrollBy(-1);
        return TRUE;
      case GDK_KEY_Down:
      case GDK_KEY_KP_Down:
        self->ScrollBy(1);
        return TRUE;
      case GDK_KEY_Page_Up:
      case GDK_KEY_KP_Page_Up:
        self->ScrollBy(-page);
        return TRUE;
      case GDK_KEY_Page_Down:
      case GDK_KEY_KP_Page_Down:
        self->ScrollBy(page);
        return TRUE;
      case GDK_KEY_Home:
      case GDK_KEY_KP_Home:
        gtk_adjustment_set_value(self->adjustment_.get(), 0);
        return TRUE;
      case GDK_KEY_End:
      case GDK_KEY_KP_End:
        gtk_adjustment_set_value(self->adjustment_.get(), static_cast<double>(self->LastPageTop()));
        return TRUE;
      default:
        return FALSE;
    }
  }

  static gboolean Pressed(GtkWidget* area, GdkEventButton*, gpointer) {
    gtk_widget_grab_focus(area);
    return FALSE;
  }

  NoticeText text_;
  DisplayRows rows_;  // over text_
  GObjectPtr<GtkAdjustment> adjustment_;
  GtkWidget* area_ = nullptr;
};

}  // namespace

GtkWidget* NewLongTextView(NoticeText text, std::size_t row_units, int width, int height) {
  auto* view = new LongTextView(std::move(text), row_units);
  return view->Build(width, height);  // the drawing area owns the view from here
}

}  // namespace zprava
