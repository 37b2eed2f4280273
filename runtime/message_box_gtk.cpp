#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/long_text_view_gtk.h"
#include "runtime/message_box.h"
#include "runtime/unicode.h"

namespace zprava {
namespace {

// A prompt is shown whole in a label while it fits in this share of the
// screen's work area; a longer one keeps its first line on top and moves the
// rest into a scrolled view, so the OK button always stays on screen.
constexpr double kScreenShare = 0.8;
constexpr int kWrapChars = 60;      // a message label wraps at about this many characters
constexpr int kScrolledChars = 80;  // width of the scrolled view
constexpr int kChromeHeight = 160;  // title bar, margins, first line and the button row
constexpr int kMinScrolledHeight = 120;

const char* IconName(int style) {
  switch (style & message_box_style::kIconMask) {
    case message_box_style::kCritical:
      return "dialog-error";
    case message_box_style::kQuestion:
      return "dialog-question";
    case message_box_style::kExclamation:
      return "dialog-warning";
    case message_box_style::kInformation:
      return "dialog-information";
    default:
      return nullptr;
  }
}

struct TextMetrics {
  int line_height;
  int char_width;
};

// Estimated from the font's nominal size: asking Pango for real metrics loads
// and shapes every font of the fontset: 9 ms, an eighth of the whole launch.
TextMetrics EstimateFont(GtkWidget* widget) {
  const PangoFontDescription* font =
      pango_context_get_font_description(gtk_widget_get_pango_context(widget));
  double pixels = 15.0;  // 11 pt at 96 dpi, should the description have no size
  if (font != nullptr && pango_font_description_get_size(font) > 0) {
    pixels = static_cast<double>(pango_font_description_get_size(font)) / PANGO_SCALE;
    if (!pango_font_description_get_size_is_absolute(font)) pixels *= 96.0 / 72.0;
  }
  // Generous line spacing, so a prompt is sooner scrolled than cut off.
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

struct PromptShape {
  long wrapped_lines;  // in a label, counted no further than the limit asked for
  bool has_long_word;  // a word longer than a line, which only breaking inside it can fit
};

PromptShape MeasurePrompt(std::u16string_view prompt, long line_limit) {
  PromptShape shape{0, false};
  long chars_in_line = 0;
  long chars_in_word = 0;
  auto end_line = [&] {
    shape.wrapped_lines += std::max(1L, (chars_in_line + kWrapChars - 1) / kWrapChars);
    chars_in_line = 0;
    chars_in_word = 0;
  };
  for (std::size_t i = 0; i < prompt.size(); ++i) {
    const char16_t c = prompt[i];
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < prompt.size() && prompt[i + 1] == u'\n') ++i;
      end_line();
      if (shape.wrapped_lines > line_limit) return shape;
    } else {
      ++chars_in_line;
      chars_in_word = c == u' ' || c == u'\t' ? 0 : chars_in_word + 1;
      shape.has_long_word = shape.has_long_word || chars_in_word > kWrapChars;
    }
  }
  end_line();
  return shape;
}

// Wrapping at word boundaries alone is markedly cheaper to lay out; breaking
// inside words is needed only when a word is longer than a line.
GtkWidget* NewPlainLabel(const std::string& text, bool break_words) {
  GtkWidget* label = gtk_label_new(nullptr);
  gtk_label_set_text(GTK_LABEL(label), text.c_str());  // never markup, never a format
  gtk_label_set_selectable(GTK_LABEL(label), TRUE);
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  if (break_words) gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
  gtk_label_set_max_width_chars(GTK_LABEL(label), kWrapChars);
  gtk_label_set_xalign(GTK_LABEL(label), 0.0F);
  gtk_widget_set_valign(label, GTK_ALIGN_START);
  return label;
}

// Fills a text view a slice at a time from the main loop, so that however
// long the notice, the dialog appears after the first slice and stays
// responsive while the rest goes in; each slice is let go once inserted. The
// view owns the feed.
class TextFeed {
 public:
  static void Start(GtkTextView* view, std::vector<std::string> slices) {
    auto* feed = new TextFeed(gtk_text_view_get_buffer(view), std::move(slices));
    g_object_set_data_full(G_OBJECT(view), "zprava-text-feed", feed, Free);
    if (feed->InsertSlice()) {
      // Above the view's own line measuring, below redrawing: the text goes in
      // first, while the dialog keeps painting.
      feed->source_ = g_idle_add_full(GDK_PRIORITY_REDRAW + 4, InsertSliceLater, feed, nullptr);
    }
  }

 private:
  TextFeed(GtkTextBuffer* buffer, std::vector<std::string> slices)
      : buffer_(buffer), slices_(std::move(slices)) {}

  // Inserts the next slice; true while more remain.
  bool InsertSlice() {
    if (next_ == slices_.size()) return false;
    std::string& slice = slices_[next_++];
    GtkTextIter at;
    gtk_text_buffer_get_end_iter(buffer_, &at);
    gtk_text_buffer_insert(buffer_, &at, slice.data(), static_cast<gint>(slice.size()));
    slice = std::string();
    return next_ < slices_.size();
  }

  static gboolean InsertSliceLater(gpointer data) {
    auto* feed = static_cast<TextFeed*>(data);
    if (feed->InsertSlice()) return G_SOURCE_CONTINUE;
    feed->source_ = 0;
    return G_SOURCE_REMOVE;
  }

  static void Free(gpointer data) {
    auto* feed = static_cast<TextFeed*>(data);
    if (feed->source_ != 0) g_source_remove(feed->source_);
    delete feed;
  }

  GtkTextBuffer* buffer_;  // the view's, alive as long as the feed
  std::vector<std::string> slices_;
  std::size_t next_ = 0;
  guint source_ = 0;
};

GtkWidget* NewScrolledText(std::vector<std::string> slices, int width, int height) {
  GtkWidget* view = gtk_text_view_new();
  gtk_text_view_set_editable(GTK_TEXT_VIEW(view), FALSE);
  gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(view), FALSE);
  gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view), GTK_WRAP_WORD_CHAR);
  gtk_text_view_set_left_margin(GTK_TEXT_VIEW(view), 6);
  gtk_text_view_set_right_margin(GTK_TEXT_VIEW(view), 6);
  TextFeed::Start(GTK_TEXT_VIEW(view), std::move(slices));
  GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER,
                                 GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled), GTK_SHADOW_IN);
  gtk_widget_set_size_request(scrolled, width, height);
  gtk_container_add(GTK_CONTAINER(scrolled), view);
  return scrolled;
}

// GtkTextView keeps a few hundred bytes of records for every line and lays
// out every paragraph whole: past these sizes a notice goes to a view that
// lays out only what is on screen.
constexpr std::size_t kLongTextUnits = 1'000'000;
constexpr std::size_t kLongTextLines = 10'000;

bool IsTooLongForTextView(std::u16string_view body) {
  if (body.size() > kLongTextUnits) return true;
  std::size_t lines = 0;
  for (std::size_t i = 0; i < body.size() && lines <= kLongTextLines; ++i) {
    if (body[i] == u'\n' || (body[i] == u'\r' && (i + 1 == body.size() || body[i + 1] != u'\n'))) {
      ++lines;
    }
  }
  return lines > kLongTextLines;
}

// The prompt in a label when it fits the screen, otherwise its first line in
// a label above the rest in a scrolled view.
GtkWidget* NewPromptArea(std::u16string prompt, GtkWidget* dialog) {
  const TextMetrics font = EstimateFont(dialog);
  const GdkRectangle area = WorkArea(dialog);
  const int available = static_cast<int>(area.height * kScreenShare) - kChromeHeight;
  const long fitting_lines = std::max(1, available / font.line_height);
  const PromptShape shape = MeasurePrompt(prompt, fitting_lines);
  if (shape.wrapped_lines <= fitting_lines) {
    return NewPlainLabel(ToDisplayUtf8(prompt, DisplayTarget::kToolkit), shape.has_long_word);
  }

  const std::u16string_view text(prompt);
  const std::size_t header_end = std::min(text.find_first_of(u"\r\n"), text.size());
  const std::size_t body_start =
      text.substr(header_end, 2) == u"\r\n" ? header_end + 2 : header_end + 1;
  GtkWidget* header =
      NewPlainLabel(ToDisplayUtf8(text.substr(0, header_end), DisplayTarget::kToolkit), false);
  const std::size_t body_from = std::min(body_start, text.size());
  const int width =
      std::min(kScrolledChars * font.char_width, static_cast<int>(area.width * kScreenShare));
  const int height = std::max(available, kMinScrolledHeight);
  GtkWidget* body = nullptr;
  if (IsTooLongForTextView(text.substr(body_from))) {
    body = NewLongTextView(std::move(prompt), body_from, kScrolledChars, width, height);
  } else {
    std::vector<std::string> slices;
    ForEachDisplaySlice(text.substr(body_from), DisplayTarget::kToolkit,
                        [&](std::string slice) { slices.push_back(std::move(slice)); });
    prompt = std::u16string();  // the notice is held once, as display text, from here on
    body = NewScrolledText(std::move(slices), width, height);
  }
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
  gtk_box_pack_start(GTK_BOX(box), header, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), body, TRUE, TRUE, 0);
  return box;
}

GtkWidget* NewDialog(const std::string& caption) {
  GtkWidget* dialog = gtk_dialog_new();
  GtkWindow* window = GTK_WINDOW(dialog);
  gtk_window_set_title(window, caption.c_str());
  gtk_window_set_modal(window, TRUE);
  gtk_window_set_resizable(window, FALSE);
  gtk_window_set_position(window, GTK_WIN_POS_CENTER);
  gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_style_context_add_class(gtk_widget_get_style_context(dialog), "message-dialog");
  atk_object_set_role(gtk_widget_get_accessible(dialog), ATK_ROLE_ALERT);
  return dialog;
}

void PackContent(GtkWidget* dialog, int style, GtkWidget* prompt_area) {
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
  gtk_container_set_border_width(GTK_CONTAINER(row), 12);
  if (const char* icon = IconName(style)) {
    GtkWidget* image = gtk_image_new_from_icon_name(icon, GTK_ICON_SIZE_DIALOG);
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
  }
  gtk_box_pack_start(GTK_BOX(row), prompt_area, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), row, TRUE, TRUE, 0);
}

// Xlib offers no way back from a lost display connection but ending the
// process; GDK's own handler would end it with status 1, so ours ends it with
// the status the program chose.
int exit_status_on_lost_display = EXIT_FAILURE;

int EndOnLostDisplay(Display*) { std::_Exit(exit_status_on_lost_display); }

class GtkMessageBox final : public MessageBox {
 public:
  int Show(std::u16string prompt, int style, std::u16string_view caption) override {
    GtkWidget* dialog = NewDialog(ToDisplayUtf8(caption, DisplayTarget::kToolkit));
    PackContent(dialog, style, NewPromptArea(std::move(prompt), dialog));
    // The button reads "OK" whatever the language; the stock label would be translated.
    GtkWidget* ok = gtk_dialog_add_button(GTK_DIALOG(dialog), "OK", GTK_RESPONSE_OK);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    gtk_widget_show_all(dialog);
    gtk_widget_grab_focus(ok);  // otherwise the selectable label takes focus, all selected
    gtk_window_present(GTK_WINDOW(dialog));
    gtk_dialog_run(GTK_DIALOG(dialog));  // OK, Escape and the close control all acknowledge
    gtk_widget_destroy(dialog);
    return kResultOk;
  }
};

}  // namespace

std::unique_ptr<MessageBox> TryOpenToolkitMessageBox(int exit_status_on_lost_display) {
  // No arguments: the program has no command line for GTK to read.
  if (!gtk_init_check(nullptr, nullptr)) return nullptr;
  if (GDK_IS_X11_DISPLAY(gdk_display_get_default())) {
    zprava::exit_status_on_lost_display = exit_status_on_lost_display;
    XSetIOErrorHandler(EndOnLostDisplay);
  }
  return std::make_unique<GtkMessageBox>();
}

}  // namespace zprava
