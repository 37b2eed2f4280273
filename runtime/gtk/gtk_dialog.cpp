#include "gtk/gtk_dialog.h"

#include <gtk/gtk.h>
#include <pango/pangocairo.h>
#if defined(GDK_WINDOWING_X11)
#include <gdk/gdkx.h>
#endif

#include <string>
#include <utility>

#include "gtk/gobject_ptr.h"
#include "gtk/guarded_callback.h"
#include "gtk/lost_display.h"
#include "gtk/message_area.h"
#include "text/display_text.h"

namespace zprava {
namespace {

// On X11 a program places its windows; a Wayland compositor places them itself.
bool PlacesItsOwnWindows(GdkDisplay* display) {
#if defined(GDK_WINDOWING_X11)
  return GDK_IS_X11_DISPLAY(display);
#else
  (void)display;
  return false;
#endif
}

// The toolkit's own message dialog, so that it looks and reads as every other
// one under the same theme; it takes the question icon, its caption and one
// OK button.
OwnedWidget NewMessageDialog(std::u16string_view caption) {
  OwnedWidget dialog(gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION,
                                            GTK_BUTTONS_NONE, nullptr));
  GtkWindow* window = GTK_WINDOW(dialog.get());
  const std::string title = ToDisplayUtf8(caption, DisplayTarget::kDialog);
  gtk_window_set_title(window, title.c_str());
  // A message dialog is named after its kind ("Question") for screen
  // readers; the caption is what tells this one apart.
  atk_object_set_name(gtk_widget_get_accessible(dialog.get()), title.c_str());
  if (PlacesItsOwnWindows(gtk_widget_get_display(dialog.get()))) {
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
  }
  // Deprecated only in that newer GTK shows no icons in message dialogs;
  // the notice carries its question icon.
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_message_dialog_set_image(
      GTK_MESSAGE_DIALOG(dialog.get()),
      gtk_image_new_from_icon_name("dialog-question", GTK_ICON_SIZE_DIALOG));
  G_GNUC_END_IGNORE_DEPRECATIONS
  return dialog;
}

bool HasSessionBus() {
  if (g_getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr) return true;
  const char* runtime_dir = g_getenv("XDG_RUNTIME_DIR");
  if (runtime_dir == nullptr) return false;
  const std::string bus = std::string(runtime_dir) + "/bus";
  return g_file_test(bus.c_str(), G_FILE_TEST_EXISTS);
}

// The program writes nothing, and GTK writes nothing either where a session
// gives it a runtime folder and a session bus; where one is missing (cron,
// su, a bare login script) these keep it from making up its own under HOME.
void KeepTheToolkitFromWriting() {
  // The desktops' own backends, in GDK's order (GDK_BACKEND still chooses
  // among them). Broadway, which serves a web browser, is no place for a
  // notice, and looking for its server creates a runtime folder.
  gdk_set_allowed_backends("wayland,x11");
  // Screen readers are reached through the session bus, and the
  // accessibility bridge keeps a socket in the runtime folder. Where either
  // is missing, the bridge would make up its own under HOME (and a bus
  // daemon that outlives the program); no screen reader listens there.
  if (g_getenv("XDG_RUNTIME_DIR") == nullptr || !HasSessionBus()) {
    g_setenv("NO_AT_BRIDGE", "1", FALSE);
  }
}

// GDK on X11 opens OpenGL as it opens the display, to choose the visual a GL
// drawing would want, unless an earlier GTK program on the same display left
// that choice on the root window. Opening it loads the GL driver (Mesa's
// with LLVM: over 50 MiB resident, and time at launch) into a dialog that
// draws nothing with GL; a fresh session's first dialogs, or many started at
// once, would each pay for it. The user's own GDK_GL still wins.
void LeaveOpenGlClosed() { g_setenv("GDK_GL", "disable", FALSE); }

// A dialog started by the session comes to the front with the token the
// session gave it. GTK 3 takes it from DESKTOP_STARTUP_ID, on Wayland as on
// X11; launchers that follow Wayland's activation protocol name it
// XDG_ACTIVATION_TOKEN.
void PassOnTheActivationToken() {
  const char* token = g_getenv("XDG_ACTIVATION_TOKEN");
  if (token != nullptr && g_getenv("DESKTOP_STARTUP_ID") == nullptr) {
    g_setenv("DESKTOP_STARTUP_ID", token, FALSE);
  }
  g_unsetenv("XDG_ACTIVATION_TOKEN");  // it is good for one activation only
}

// Return and Enter end the dialog as OK does. The toolkit would hand them to
// the default button, which, unless it has the focus and sees the key come
// up, plays its pressed animation for a quarter second before it answers;
// the long view has the focus in a long notice. The dialog sees each key
// before the focused widget does. It calls only C, so it needs no guard.
gboolean AnswerOkOnEnter(GtkWidget* dialog, GdkEventKey* event, gpointer) {
  if ((event->state & gtk_accelerator_get_default_mod_mask()) != 0) return FALSE;
  switch (event->keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
      gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
      return TRUE;
    default:
      return FALSE;
  }
}

// The dialog on screen, for a screen reader that starts listening late.
GtkWindow* shown_dialog = nullptr;

// The accessibility bridge sends a screen reader nothing the widgets emit
// until the registry has told it that one listens: it asks only once the
// main loop runs, so the answer comes after the dialog is shown, and under
// load often after the window manager has activated and focused it. The
// window's activation, which makes a screen reader read the dialog's text,
// and the focus are then lost, and the reader says only the focus or
// nothing. When the bridge starts listening to the widgets, they are told
// again, in the order the toolkit tells them.
gboolean TellActivationAgain(gpointer source) {
  *static_cast<guint*>(source) = 0;
  if (shown_dialog == nullptr || !gtk_window_is_active(shown_dialog)) return G_SOURCE_REMOVE;
  g_signal_emit_by_name(gtk_widget_get_accessible(GTK_WIDGET(shown_dialog)), "activate");
  if (GtkWidget* focus = gtk_window_get_focus(shown_dialog)) {
    atk_object_notify_state_change(gtk_widget_get_accessible(focus), ATK_STATE_FOCUSED, TRUE);
  }
  return G_SOURCE_REMOVE;
}

using AddListener = guint (*)(GSignalEmissionHook listener, const gchar* event_type);
AddListener toolkit_add_listener = nullptr;

// The bridge adds all its listeners at once, so once the main loop is back
// they are all there.
guint AddListenerThenTellActivation(GSignalEmissionHook listener, const gchar* event_type) {
  static guint source = 0;
  if (source == 0) source = g_idle_add_full(G_PRIORITY_HIGH, TellActivationAgain, &source, nullptr);
  return toolkit_add_listener(listener, event_type);
}

void WatchForTheBridge() {
  auto* util = static_cast<AtkUtilClass*>(g_type_class_ref(ATK_TYPE_UTIL));  // kept for good
  if (util->add_global_event_listener == nullptr ||
      util->add_global_event_listener == AddListenerThenTellActivation) {
    return;
  }
  toolkit_add_listener = util->add_global_event_listener;
  util->add_global_event_listener = AddListenerThenTellActivation;
}

void ShowUntilDismissed(DialogContent content, CallbackFailures& failures) {
  const OwnedWidget dialog = NewMessageDialog(content.caption);
  GtkWidget* view =
      FillMessageArea(GTK_MESSAGE_DIALOG(dialog.get()), content.header, std::move(content.body));
  // The button reads "OK" whatever the language; the stock label would be translated.
  GtkWidget* ok = gtk_dialog_add_button(GTK_DIALOG(dialog.get()), "OK", GTK_RESPONSE_OK);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog.get()), GTK_RESPONSE_OK);
  g_signal_connect(dialog.get(), "key-press-event", G_CALLBACK(AnswerOkOnEnter), nullptr);
  const struct Shown {
    explicit Shown(GtkWidget* dialog) { shown_dialog = GTK_WINDOW(dialog); }
    ~Shown() { shown_dialog = nullptr; }
  } shown(dialog.get());
  gtk_widget_show_all(dialog.get());
  // A selectable label given focus would show all its text selected.
  gtk_widget_grab_focus(view != nullptr ? view : ok);
  gtk_window_present(GTK_WINDOW(dialog.get()));
  failures.Run(GTK_DIALOG(dialog.get()));  // OK, Escape and the close control all end it
}

class GtkNoticeDialog final : public NoticeDialog {
 public:
  // A failure in a callback ends the dialog and comes out here once the
  // dialog has gone, as any other failure of Show does.
  void Show(DialogContent content) override {
    CallbackFailures failures;
    ShowUntilDismissed(std::move(content), failures);
    failures.RethrowFirst();
  }
};

}  // namespace

std::unique_ptr<NoticeDialog> OpenGtkDialog(const DialogSettings& settings) {
  KeepTheToolkitFromWriting();
  LeaveOpenGlClosed();
  PassOnTheActivationToken();
  // No arguments: the program has no command line for GTK to read.
  if (!gtk_init_check(nullptr, nullptr)) return nullptr;
  WatchForTheBridge();
  // Pango loads the font configuration on a thread of its own as soon as its
  // font map exists. GTK would first ask for the map to lay out the first
  // text, after loading the theme, and then wait for that thread; asked for
  // now, the configuration loads while the theme does. GTK uses this same map.
  pango_cairo_font_map_get_default();
  EndProcessOnLostDisplay(gdk_display_get_default(), settings.exit_status_on_lost_display);
  return std::make_unique<GtkNoticeDialog>();
}

}  // namespace zprava
