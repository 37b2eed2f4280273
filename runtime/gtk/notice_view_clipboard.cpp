#include "gtk/guarded_callback.h"
#include "gtk/notice_view.h"

namespace zprava {
namespace {

// The selected text, for a program that pastes the primary selection.
void GiveSelection(GtkClipboard*, GtkSelectionData* data, guint, gpointer owner) {
  const NoticeView* view = NoticeViewOf(GTK_WIDGET(owner));
  if (view == nullptr) return;
  const std::string text = view->ShownText(view->SelectionStart(), view->SelectionEnd());
  if (text.size() > G_MAXINT) return;
  gtk_selection_data_set_text(data, text.data(), static_cast<gint>(text.size()));
}

}  // namespace
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
