// An allocation failing inside one of the GTK dialog's callbacks ends the
// dialog, and Show throws it once the dialog has gone, on a display of the
// test's own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <new>
#include <string>
#include <utility>

#include "gtk/failing_allocation.h"
#include "gtk/gtk_dialog.h"
#include "gtk/notice_view.h"

namespace zprava {
namespace {

// Xvfb on a display number it chooses, ended with the test (or with the test
// process, should that die first).
class VirtualDisplay {
 public:
  bool Start() {
    int report[2];
    if (::pipe(report) != 0) return false;
    const std::string fd = std::to_string(report[1]);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGTERM);
      ::close(report[0]);
      const int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, STDERR_FILENO);
      ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
               "-nolisten", "tcp", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(report[1]);
    std::string number;
    char c = 0;
    while (::read(report[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(report[0]);
    if (number.empty()) return false;
    name_ = ":" + number;
    return true;
  }
  ~VirtualDisplay() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  const std::string& name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

// Where the failure is injected: the action runs with the next allocation
// failing, once the view is on screen.
struct Case {
  const char* name;
  void (*prepare)(NoticeView& view);
  void (*act)(GtkWidget* area);
};

void Nothing(NoticeView&) {}
void SelectAll(NoticeView& view) { view.SelectAll(); }

void Draw(GtkWidget* area) {
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, gtk_widget_get_allocated_width(area),
                                 gtk_widget_get_allocated_height(area));
  cairo_t* cr = cairo_create(surface);
  gtk_widget_draw(area, cr);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

// Ctrl+Right, which looks for the end of the word, as the window passes it on.
void PressKey(GtkWidget* area) {
  GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
  event->key.window =
      GDK_WINDOW(g_object_ref(gtk_widget_get_window(gtk_widget_get_toplevel(area))));
  event->key.send_event = TRUE;
  event->key.time = GDK_CURRENT_TIME;
  event->key.state = GDK_CONTROL_MASK;
  event->key.keyval = GDK_KEY_Right;
  gdk_event_set_device(
      event, gdk_seat_get_keyboard(gdk_display_get_default_seat(gtk_widget_get_display(area))));
  gtk_main_do_event(event);
  gdk_event_free(event);
}

// What a program pasting with the middle button asks for.
void RequestSelection(GtkWidget* area) {
  g_free(gtk_clipboard_wait_for_text(gtk_widget_get_clipboard(area, GDK_SELECTION_PRIMARY)));
}

void ReadAsScreenReader(GtkWidget* area) {
  g_free(atk_text_get_text(ATK_TEXT(gtk_widget_get_accessible(area)), 0, -1));
}

const Case kCases[] = {
    {"draw", Nothing, Draw},
    {"key_press", Nothing, PressKey},
    {"clipboard_request", SelectAll, RequestSelection},
    {"atk_text_call", Nothing, ReadAsScreenReader},
};

// The focused notice view of the dialog shown, once it has room for rows.
GtkWidget* ShownArea() {
  GtkWidget* found = nullptr;
  GList* windows = gtk_window_list_toplevels();
  for (GList* window = windows; window != nullptr; window = window->next) {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window->data));
    if (GTK_IS_DIALOG(window->data) && focus != nullptr && NoticeViewOf(focus) != nullptr &&
        gtk_widget_is_drawable(focus) && gtk_widget_get_allocated_height(focus) > 100) {
      found = focus;
    }
  }
  g_list_free(windows);
  return found;
}

struct Attempt {
  const Case* what;
  bool acted = false;
  int failures_in_action = 0;
  bool ended_by_test = false;
};

gboolean ActWhenShown(gpointer data) {
  auto* attempt = static_cast<Attempt*>(data);
  GtkWidget* area = ShownArea();
  if (area == nullptr) return G_SOURCE_CONTINUE;
  attempt->what->prepare(*NoticeViewOf(area));
  const int before = FailedAllocations();
  FailNextAllocation(true);
  attempt->what->act(area);
  FailNextAllocation(false);
  attempt->failures_in_action = FailedAllocations() - before;
  attempt->acted = true;
  return G_SOURCE_REMOVE;
}

// Should the failure not end the dialog, the test does, rather than hang.
gboolean EndDialog(gpointer data) {
  static_cast<Attempt*>(data)->ended_by_test = true;
  GList* windows = gtk_window_list_toplevels();
  for (GList* window = windows; window != nullptr; window = window->next) {
    if (GTK_IS_DIALOG(window->data)) gtk_dialog_response(GTK_DIALOG(window->data), GTK_RESPONSE_OK);
  }
  g_list_free(windows);
  return G_SOURCE_CONTINUE;
}

class CallbackFailure : public ::testing::TestWithParam<Case> {
 protected:
  static void SetUpTestSuite() {
    display_ = new VirtualDisplay;
    if (!display_->Start()) return;
    setenv("DISPLAY", display_->name().c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    // No session bus and an empty runtime folder: the toolkit talks to
    // nothing outside the test.
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    char runtime[] = "/tmp/zprava-gtk-test-XXXXXX";
    if (mkdtemp(runtime) != nullptr) runtime_dir_ = runtime;
    setenv("XDG_RUNTIME_DIR", runtime_dir_.c_str(), 1);
    dialog_ = OpenGtkDialog({.exit_status_on_lost_display = 99}).release();
  }
  static void TearDownTestSuite() {
    delete dialog_;
    delete display_;
    if (!runtime_dir_.empty()) rmdir(runtime_dir_.c_str());
  }
  void SetUp() override {
    if (dialog_ == nullptr) GTEST_SKIP() << "no X display could be made (is Xvfb installed?)";
  }

  static inline VirtualDisplay* display_ = nullptr;
  static inline std::string runtime_dir_;
  static inline NoticeDialog* dialog_ = nullptr;
};

TEST_P(CallbackFailure, EndsTheDialogAndComesOutOfShow) {
  std::u16string body;
  for (int line = 0; line < 200; ++line) body += u"Řádek zprávy, dost dlouhý na posuvník.\n";
  Attempt attempt{&GetParam()};
  const guint act = g_timeout_add(20, ActWhenShown, &attempt);
  const guint end = g_timeout_add_seconds(20, EndDialog, &attempt);
  DialogContent content{u"Tibrel", u"Zpráva: test", std::move(body)};
  EXPECT_THROW(dialog_->Show(std::move(content)), std::bad_alloc);
  g_source_remove(end);
  if (!attempt.acted) g_source_remove(act);
  EXPECT_TRUE(attempt.acted);
  EXPECT_EQ(attempt.failures_in_action, 1) << "the action allocated nothing";
  EXPECT_FALSE(attempt.ended_by_test);
}

INSTANTIATE_TEST_SUITE_P(GtkDialog, CallbackFailure, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zprava
