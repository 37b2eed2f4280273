#include "gtk/message_area.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "gtk/long_text_view.h"
#include "gtk/text_feed.h"
#include "text/display_text.h"
#include "text/line_end.h"

namespace zprava {
namespace {

// The text is shown whole in a label while it fits in this share of the
// screen's work area.
constexpr double kScreenShare = 0.8;
constexpr int kWrapChars = 60;      // a message label wraps at about this many characters
constexpr int kScrolledChars = 80;  // width of the scrolled view
constexpr int kChromeHeight = 160;  // title bar, margins, first line and the button row
constexpr int kMinScrolledHeight = 120;

// GtkTextView keeps records for every line and lays
// out every paragraph whole: past these sizes a body goes to a view that lays
// out only what is on screen.
constexpr std::size_t kLongTextUnits = 1'000'000;
constexpr std::size_t kLongTextLines = 10'000;

struct TextMetrics {
  int line_height;
  int char_width;
};

// Estimated from the font's nominal size: real metrics from Pango would load
// and shape every font of the fontset, a large share of the launch.
TextMetrics EstimateFont(GtkWidget* widget) {
  const PangoFontDescription* font =
      pango_context_get_font_description(gtk_widget_get_pango_context(widget));
  double pixels = 15.0;  // 11 pt at 96 dpi, should the description have no size
  if (font != nullptr && pango_font_description_get_size(font) > 0) {
    pixels = static_cast<double>(pango_font_description_get_size(font)) / PANGO_SCALE;
    if (!pango_font_description_get_size_is_absolute(font)) pixels *= 96.0 / 72.0;
  }
  // Generous line spacing, so a notice is sooner scrolled than cut off.
  return {std::max(1, static_cast<int>(pixels * 1.4 + 0.5)),
          std::max(1, static_cast<int>(pixels * 0.6 + 0.5))};
}

GdkRectangle WorkArea(GtkWidget* widget) {
  GdkDisplay* display = gtk_widget_get_display(widget);
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
  GdkRectangle area{0, 0, 1024, 768};
  if (monitor != nullptr) gdk_monitor_get_workarea(monitor, &area);
  return area;
}

struct TextShape {
  long wrapped_lines = 0;      // in a label, counted no further than the limit asked for
  bool has_long_word = false;  // a word longer than a line, which only breaking inside it can fit
};

void AddShape(std::u16string_view text, long line_limit, TextShape& shape) {
  long chars_in_line = 0;
  long chars_in_word = 0;
  auto end_line = [&] {
    shape.wrapped_lines += std::max(1L, (chars_in_line + kWrapChars - 1) / kWrapChars);
    chars_in_line = 0;
    chars_in_word = 0;
  };
  for (std::size_t i = 0; i < text.size();) {
    if (const std::size_t line_end = LineEndLength(text, i)) {
      i += line_end;
      end_line();
      if (shape.wrapped_lines > line_limit) return;
      continue;
    }
    ++chars_in_line;
    chars_in_word = text[i] == u' ' || text[i] == u'\t' ? 0 : chars_in_word + 1;
    shape.has_long_word = shape.has_long_word || chars_in_word > kWrapChars;
    ++i;
  }
  end_line();
}

// The message dialog's own labels: the primary text, then the secondary.
std::vector<GtkLabel*> MessageLabels(GtkMessageDialog* dialog) {
  GList* children =
      gtk_container_get_children(GTK_CONTAINER(gtk_message_dialog_get_message_area(dialog)));
  std::vector<GtkLabel*> labels;
  for (GList* child = children; child != nullptr; child = child->next) {
    if (GTK_IS_LABEL(child->data)) labels.push_back(GTK_LABEL(child->data));
  }
  g_list_free(children);
  return labels;
}

// The header as the dialog's primary text and the body, if any, as its
// secondary text, as message dialogs set a title above the details. Plain
// text, never markup, never a format. Wrapping at word boundaries alone is
// markedly cheaper to lay out; breaking inside words is needed only when a
// word is longer than a line.
void SetMessageText(GtkMessageDialog* dialog, const std::string& header, const std::string& body,
                    bool break_words) {
  g_object_set(dialog, "text", header.c_str(), "use-markup", FALSE, nullptr);
  if (!body.empty()) {
    g_object_set(dialog, "secondary-text", body.c_str(), "secondary-use-markup", FALSE, nullptr);
  }
  for (GtkLabel* label : MessageLabels(dialog)) {
    gtk_label_set_selectable(label, TRUE);
    if (break_words) gtk_label_set_line_wrap_mode(label, PANGO_WRAP_WORD_CHAR);
  }
}

bool IsTooLongForTextView(std::u16string_view body) {
  if (body.size() > kLongTextUnits) return true;
  std::size_t lines = 0;
  for (std::size_t i = 0; i < body.size() && lines <= kLongTextLines;) {
    const std::size_t line_end = LineEndLength(body, i);
    lines += line_end != 0 ? 1 : 0;
    i += std::max<std::size_t>(line_end, 1);
  }
  return lines > kLongTextLines;
}

// The body in a scrolled view; the view holds it from here on as display
// text, or, when long, as it is.
GtkWidget* NewScrolledBody(NoticeText body, int width, int height) {
  if (IsTooLongForTextView(body)) {
    return NewLongTextView(std::move(body), kScrolledChars, width, height);
  }
  std::vector<std::string> slices;
  ForEachDisplaySlice(body, DisplayTarget::kDialog,
                      [&](std::string slice) { slices.push_back(std::move(slice)); });
  body = NoticeText();
  return NewFedTextView(std::move(slices), width, height);
}

}  // namespace

void FillMessageArea(GtkMessageDialog* dialog, std::u16string_view header, NoticeText body) {
  GtkWidget* widget = GTK_WIDGET(dialog);
  const TextMetrics font = EstimateFont(widget);
  const GdkRectangle area = WorkArea(widget);
  const int available = static_cast<int>(area.height * kScreenShare) - kChromeHeight;
  const long fitting_lines = std::max(1, available / font.line_height);
  TextShape shape;
  AddShape(header, fitting_lines, shape);
  AddShape(body, fitting_lines, shape);
  const std::string shown_header = ToDisplayUtf8(header, DisplayTarget::kDialog);
  if (shape.wrapped_lines <= fitting_lines) {
    SetMessageText(dialog, shown_header, ToDisplayUtf8(body, DisplayTarget::kDialog),
                   shape.has_long_word);
    return;
  }
  SetMessageText(dialog, shown_header, std::string(), false);
  const int width =
      std::min(kScrolledChars * font.char_width, static_cast<int>(area.width * kScreenShare));
  const int height = std::max(available, kMinScrolledHeight);
  GtkWidget* scrolled = NewScrolledBody(std::move(body), width, height);
  gtk_box_pack_start(GTK_BOX(gtk_message_dialog_get_message_area(dialog)), scrolled, TRUE, TRUE, 0);
}

}  // namespace zprava
