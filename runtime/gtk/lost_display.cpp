#include "gtk/lost_display.h"

#include <gdk/gdkx.h>
#include <glib.h>

#include <cstdlib>

namespace zprava {
namespace {

// Xlib offers no way back from a lost connection but ending the process. Its
// I/O error handler is process-wide and takes no data, and GDK's would end
// the process with status 1; this one returns, so that Xlib goes on to the
// display's exit handler, which carries the status.
int LeaveItToTheExitHandler(Display*) { return 0; }

void EndWithStatus(Display*, void* exit_status) { std::_Exit(GPOINTER_TO_INT(exit_status)); }

}  // namespace

void EndProcessOnLostDisplay(GdkDisplay* display, int exit_status) {
  if (!GDK_IS_X11_DISPLAY(display)) return;
  XSetIOErrorHandler(LeaveItToTheExitHandler);
  XSetIOErrorExitHandler(gdk_x11_display_get_xdisplay(display), EndWithStatus,
                         GINT_TO_POINTER(exit_status));
}

}  // namespace zprava
