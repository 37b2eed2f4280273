#include <algorithm>
#include <optional>

#include "gtk/notice_view.h"

namespace zprava {
namespace {

// The caret move a key asks for, if it is one.
std::optional<CaretMove> MoveOfKey(guint keyval, bool control) {
  switch (keyval) {
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left:
      return control ? CaretMove::kWordBack : CaretMove::kCharBack;
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right:
      return control ? CaretMove::kWordForward : CaretMove::kCharForward;
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up:
      return CaretMove::kRowUp;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down:
      return CaretMove::kRowDown;
    case GDK_KEY_Page_Up:
    case GDK_KEY_KP_Page_Up:
      return CaretMove::kPageUp;
    case GDK_KEY_Page_Down:
    case GDK_KEY_KP_Page_Down:
      return CaretMove::kPageDown;
    case GDK_KEY_Home:
    case GDK_KEY_KP_Home:
      return control ? CaretMove::kTextStart : CaretMove::kRowStart;
    case GDK_KEY_End:
    case GDK_KEY_KP_End:
      return control ? CaretMove::kTextEnd : CaretMove::kRowEnd;
    default:
      return std::nullopt;
  }
}

}  // namespace

// Arrows, Page Up/Down, Home and End move the caret as in any text view,
// with Shift selecting, Ctrl moving by words or to the text's ends.
bool NoticeView::MoveByKey(guint keyval, bool control, bool extend) {
  const std::optional<CaretMove> move = MoveOfKey(keyval, control);
  if (!move) return false;
  Changed(state_.MoveByKey(*move, extend, [this](std::size_t at) { return BreaksAround(at); }));
  if (move == CaretMove::kTextEnd) {
    gtk_adjustment_set_value(adjustment_.get(), static_cast<double>(LastPageTop()));
  }
  return true;
}

// Return and Escape are left to the dialog (Return never reaches the view),
// Tab to focus.
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

// A click places the caret, a double click selects a word and a triple
// click a line, as in any text view.
gboolean NoticeView::Pressed(GtkWidget* area, GdkEventButton* event, gpointer data) {
  auto* self = static_cast<NoticeView*>(data);
  gtk_widget_grab_focus(area);
  if (gdk_event_triggers_context_menu(reinterpret_cast<GdkEvent*>(event))) {
    self->ShowMenu(reinterpret_cast<GdkEvent*>(event));
    return TRUE;
  }
  if (event->button != GDK_BUTTON_PRIMARY) return TRUE;
  const std::size_t at = self->PositionAt(event->x, event->y);
  if (event->type == GDK_BUTTON_PRESS) {
    self->MoveCaret(at, (event->state & GDK_SHIFT_MASK) != 0);
  } else if (event->type == GDK_2BUTTON_PRESS) {
    const TextSpan word =
        UnitAround(self->BreaksAround(at), at, TextBreaks::kWordStart | TextBreaks::kWordEnd);
    self->Select(word.begin, word.end);
  } else if (event->type == GDK_3BUTTON_PRESS) {
    const TextSpan line = self->caret_rules_.LineAround(at);
    self->Select(line.begin, line.end);
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

gboolean NoticeView::FocusChanged(GtkWidget* area, GdkEventFocus*, gpointer) {
  gtk_widget_queue_draw(area);
  return FALSE;  // the toolkit's own handlers draw the focus too
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

}  // namespace zprava
