#include "gtk/notice_view.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "gtk/character_classes.h"
#include "gtk/guarded_callback.h"
#include "gtk/notice_view_accessible.h"
#include "text/display_text.h"

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

constexpr const char* kViewKey = "zprava-notice-view";

void FreeView(gpointer view) { delete static_cast<NoticeView*>(view); }

}  // namespace

NoticeView* NoticeViewOf(GtkWidget* area) {
  return static_cast<NoticeView*>(g_object_get_data(G_OBJECT(area), kViewKey));
}

NoticeView::NoticeView(NoticeText text, std::size_t row_columns)
    : text_(std::move(text)),
      rows_(text_, row_columns, CharacterClassesOnScreen()),
      caret_rules_(text_, rows_, CharacterClassesOnScreen()),
      state_(rows_, caret_rules_),
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

TextBreaks NoticeView::BreaksAround(std::size_t at) const {
  const TextSpan reach = BreakReach(rows_, text_.size(), at);
  TextBreaks breaks{CharStarts(text_, reach), {}};
  const std::string shown = ShownText(reach.begin, breaks.unit_of_char.back());
  std::vector<PangoLogAttr> attrs(breaks.unit_of_char.size());
  pango_get_log_attrs(shown.data(), static_cast<int>(shown.size()), -1,
                      pango_language_get_default(), attrs.data(), static_cast<int>(attrs.size()));
  breaks.edges.reserve(attrs.size());
  for (const PangoLogAttr& attr : attrs) {
    breaks.edges.push_back(
        static_cast<std::uint8_t>((attr.is_word_start ? TextBreaks::kWordStart : 0) |
                                  (attr.is_word_end ? TextBreaks::kWordEnd : 0) |
                                  (attr.is_sentence_start ? TextBreaks::kSentenceStart : 0) |
                                  (attr.is_sentence_end ? TextBreaks::kSentenceEnd : 0)));
  }
  return breaks;
}

void NoticeView::MoveCaret(std::size_t at, bool extend) { Changed(state_.MoveCaret(at, extend)); }

void NoticeView::Select(std::size_t from, std::size_t to) { Changed(state_.Select(from, to)); }

// As in a text view, the caret stays at the start, where reading begins.
void NoticeView::SelectAll() { Select(text_.size(), 0); }

void NoticeView::Changed(ViewState::Change change) {
  ScrollToCaret();
  gtk_widget_queue_draw(area_);
  if (change.selection_changed) OfferPrimarySelection();
  NoticeViewAccessibleChanged(area_, change.caret_moved, change.selection_changed);
}

std::size_t NoticeView::TopRow() const {
  return static_cast<std::size_t>(gtk_adjustment_get_value(adjustment_.get()));
}

void NoticeView::ScrollBy(double rows) {
  gtk_adjustment_set_value(adjustment_.get(), gtk_adjustment_get_value(adjustment_.get()) + rows);
}

void NoticeView::ScrollToCaret() {
  if (const std::optional<std::size_t> top = state_.TopToShowCaret(TopRow())) {
    gtk_adjustment_set_value(adjustment_.get(), static_cast<double>(*top));
  }
}

}  // namespace zprava
