#include "gtk/lost_display.h"

#include <gdk/gdk.h>
#include <poll.h>
#if defined(GDK_WINDOWING_WAYLAND)
#include <gdk/gdkwayland.h>
#endif
#if defined(GDK_WINDOWING_X11)
#include <gdk/gdkx.h>
#endif

#include <cstdlib>

namespace zprava {
namespace {

#if defined(GDK_WINDOWING_X11)
// Xlib offers no way back from a lost connection but ending the process. Its
// I/O error handler is process-wide and takes no data, and GDK's would end
// the process with status 1; this one returns, so that Xlib goes on to the
// display's exit handler, which carries the status.
int LeaveItToTheExitHandler(Display*) { return 0; }

void EndWithStatus(Display*, void* exit_status) { std::_Exit(GPOINTER_TO_INT(exit_status)); }

void WatchX11(GdkDisplay* display, int exit_status) {
  XSetIOErrorHandler(LeaveItToTheExitHandler);
  XSetIOErrorExitHandler(gdk_x11_display_get_xdisplay(display), EndWithStatus,
                         GINT_TO_POINTER(exit_status));
}
#endif

#if defined(GDK_WINDOWING_WAYLAND)
// GDK ends the process with status 1 when it cannot read from or write to a
// dead compositor. This source watches the connection for a hang-up at a
// priority above GDK's event source, and looks before every poll as well:
// GLib prepares and checks sources from the most urgent down and stops at
// the first level with one ready, so GDK never gets to touch the dead
// connection.
struct HangUpWatch {
  GSource source;
  int fd;
  gpointer tag;  // of the fd in the main loop's poll
  int exit_status;
};

bool HungUp(int fd) {
  pollfd connection{fd, 0, 0};
  return ::poll(&connection, 1, 0) > 0 && (connection.revents & (POLLHUP | POLLERR)) != 0;
}

gboolean Prepare(GSource* source, gint* timeout) {
  *timeout = -1;
  return HungUp(reinterpret_cast<HangUpWatch*>(source)->fd);
}

gboolean Check(GSource* source) {
  const auto* watch = reinterpret_cast<HangUpWatch*>(source);
  return (g_source_query_unix_fd(source, watch->tag) & (G_IO_HUP | G_IO_ERR)) != 0;
}

gboolean Dispatch(GSource* source, GSourceFunc, gpointer) {
  std::_Exit(reinterpret_cast<HangUpWatch*>(source)->exit_status);
}

GSourceFuncs kHangUpWatchFuncs = {Prepare, Check, Dispatch, nullptr, nullptr, nullptr};

void WatchWayland(GdkDisplay* display, int exit_status) {
  GSource* source = g_source_new(&kHangUpWatchFuncs, sizeof(HangUpWatch));
  auto* watch = reinterpret_cast<HangUpWatch*>(source);
  watch->fd = wl_display_get_fd(gdk_wayland_display_get_wl_display(display));
  watch->exit_status = exit_status;
  watch->tag =
      g_source_add_unix_fd(source, watch->fd, static_cast<GIOCondition>(G_IO_HUP | G_IO_ERR));
  g_source_set_priority(source, G_PRIORITY_HIGH);
  g_source_attach(source, nullptr);
  g_source_unref(source);  // the main context keeps it for the life of the process
}
#endif

}  // namespace

void EndProcessOnLostDisplay(GdkDisplay* display, int exit_status) {
#if defined(GDK_WINDOWING_X11)
  if (GDK_IS_X11_DISPLAY(display)) WatchX11(display, exit_status);
#endif
#if defined(GDK_WINDOWING_WAYLAND)
  if (GDK_IS_WAYLAND_DISPLAY(display)) WatchWayland(display, exit_status);
#endif
}

}  // namespace zprava
