/* The yardstick for launch time: a bare GTK 3 message dialog with its icon,
 * showing the text given as its argument (the same prompt zprava shows). */
#include <gtk/gtk.h>

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  const char* text = argc > 1 ? argv[1] : "Zpráva: reference";
  GtkWidget* dialog = gtk_message_dialog_new(NULL, GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION,
                                             GTK_BUTTONS_OK, "%s", text);
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(dialog),
                               gtk_image_new_from_icon_name("dialog-question", GTK_ICON_SIZE_DIALOG));
  G_GNUC_END_IGNORE_DEPRECATIONS
  gtk_window_set_title(GTK_WINDOW(dialog), "Tibrel");
  gtk_widget_show_all(dialog);
  gtk_dialog_run(GTK_DIALOG(dialog));
  return 0;
}
