#pragma once

#include <gtk/gtk.h>

#include <memory>

namespace zprava {

// Owners of toolkit objects, so that every way out of a scope lets go of them.
struct GObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct WidgetDestroy {
  void operator()(GtkWidget* widget) const { gtk_widget_destroy(widget); }
};
using OwnedWidget = std::unique_ptr<GtkWidget, WidgetDestroy>;

}  // namespace zprava
