#include "gtk/gtk_dialog.h"

#include <gtk/gtk.h>

#include <string>
#include <utility>

#include "gtk/gobject_ptr.h"
#include "gtk/lost_display.h"
#include "gtk/prompt_area.h"
#include "text/display_text.h"

namespace zprava {
namespace {

const char* IconName(DialogIcon icon) {
  switch (icon) {
    case DialogIcon::kQuestion:
      return "dialog-question";
  }
  return nullptr;
}

OwnedWidget NewDialog(std::u16string_view caption) {
  OwnedWidget dialog(gtk_dialog_new());
  GtkWindow* window = GTK_WINDOW(dialog.get());
  gtk_window_set_title(window, ToDisplayUtf8(caption, DisplayTarget::kDialog).c_str());
  gtk_window_set_modal(window, TRUE);
  gtk_window_set_resizable(window, FALSE);
  gtk_window_set_position(window, GTK_WIN_POS_CENTER);
  gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_style_context_add_class(gtk_widget_get_style_context(dialog.get()), "message-dialog");
  atk_object_set_role(gtk_widget_get_accessible(dialog.get()), ATK_ROLE_ALERT);
  return dialog;
}

// The icon beside the text, as message dialogs have it.
void PackContent(GtkWidget* dialog, DialogIcon icon, GtkWidget* prompt_area) {
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
  gtk_container_set_border_width(GTK_CONTAINER(row), 12);
  if (const char* name = IconName(icon)) {
    GtkWidget* image = gtk_image_new_from_icon_name(name, GTK_ICON_SIZE_DIALOG);
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
  }
  gtk_box_pack_start(GTK_BOX(row), prompt_area, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), row, TRUE, TRUE, 0);
}

class GtkNoticeDialog final : public NoticeDialog {
 public:
  void Show(DialogContent content) override {
    const OwnedWidget dialog = NewDialog(content.caption);
    GtkWidget* prompt_area = NewPromptArea(content.header, std::move(content.body), dialog.get());
    PackContent(dialog.get(), content.icon, prompt_area);
    // The button reads "OK" whatever the language; the stock label would be translated.
    GtkWidget* ok = gtk_dialog_add_button(GTK_DIALOG(dialog.get()), "OK", GTK_RESPONSE_OK);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog.get()), GTK_RESPONSE_OK);
    gtk_widget_show_all(dialog.get());
    gtk_widget_grab_focus(ok);  // otherwise the selectable label takes focus, all selected
    gtk_window_present(GTK_WINDOW(dialog.get()));
    gtk_dialog_run(GTK_DIALOG(dialog.get()));  // OK, Escape and the close control all end it
  }
};

}  // namespace

std::unique_ptr<NoticeDialog> OpenGtkDialog(const DialogSettings& settings) {
  // No arguments: the program has no command line for GTK to read.
  if (!gtk_init_check(nullptr, nullptr)) return nullptr;
  EndProcessOnLostDisplay(gdk_display_get_default(), settings.exit_status_on_lost_display);
  return std::make_unique<GtkNoticeDialog>();
}

}  // namespace zprava
