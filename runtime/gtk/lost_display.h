#pragma once

#include <gdk/gdk.h>

namespace zprava {

// Ends the process with `exit_status` the moment the connection to
// `display` is lost, instead of with the toolkit's own status.
void EndProcessOnLostDisplay(GdkDisplay* display, int exit_status);

}  // namespace zprava
