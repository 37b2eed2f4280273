#include "gtk/message_area.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "dialog/body_layout.h"
#include "gtk/character_classes.h"
#include "gtk/notice_view.h"
#include "text/display_text.h"

namespace zprava {
namespace {

// What GtkMessageDialog puts around its text under the usual themes, a
// little generous so that a body judged to fit does; its labels wrap at 60
// characters (their max-width-chars).
constexpr DialogFrame kMessageDialogFrame{
    .height = 160, .width = 140, .view_width = 30, .least_view_height = 120, .wrap_columns = 60};

// Estimated from the font's nominal size: real metrics from Pango would load
// and shape every font of the fontset, a large share of the launch.
FontMetrics EstimateFont(GtkWidget* widget) {
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

ScreenArea WorkArea(GtkWidget* widget) {
  GdkDisplay* display = gtk_widget_get_display(widget);
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
  GdkRectangle area{0, 0, 1024, 768};
  if (monitor != nullptr) gdk_monitor_get_workarea(monitor, &area);
  return {area.width, area.height};
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
  const std::vector<GtkLabel*> labels = MessageLabels(dialog);
  for (GtkLabel* label : labels) {
    gtk_label_set_selectable(label, TRUE);
    if (break_words) gtk_label_set_line_wrap_mode(label, PANGO_WRAP_WORD_CHAR);
  }
  // The header is selected with the mouse but not reached with Tab, as in
  // the theme's message dialogs: Tab goes from OK to the notice and back.
  if (!labels.empty()) gtk_widget_set_can_focus(GTK_WIDGET(labels.front()), FALSE);
}

}  // namespace

GtkWidget* FillMessageArea(GtkMessageDialog* dialog, std::u16string_view header, NoticeText body) {
  GtkWidget* widget = GTK_WIDGET(dialog);
  const BodyLayout layout = ChooseBodyLayout(header, body, EstimateFont(widget), WorkArea(widget),
                                             kMessageDialogFrame, CharacterClassesOnScreen());
  const std::string shown_header = ToDisplayUtf8(header, DisplayTarget::kDialog);
  if (layout.view == BodyView::kLabel) {
    SetMessageText(dialog, shown_header, ToDisplayUtf8(body, DisplayTarget::kDialog),
                   layout.break_words);
    return nullptr;
  }
  SetMessageText(dialog, shown_header, std::string(), false);
  GtkWidget* area = nullptr;
  GtkWidget* scrolled =
      NoticeView::New(std::move(body), layout.row_columns, layout.width, layout.height, area);
  gtk_box_pack_start(GTK_BOX(gtk_message_dialog_get_message_area(dialog)), scrolled, TRUE, TRUE, 0);
  return area;
}

}  // namespace zprava
