#include "gtk/text_feed.h"

#include <utility>

#include "gtk/gobject_ptr.h"

namespace zprava {
namespace {

// Above the view's own line measuring, below redrawing: the text goes in
// first, while the dialog keeps painting.
constexpr int kFeedPriority = GDK_PRIORITY_REDRAW + 4;

// Owned by the view it fills.
class TextFeed {
 public:
  static void Start(GtkTextView* view, std::vector<std::string> slices) {
    auto* feed = new TextFeed(gtk_text_view_get_buffer(view), std::move(slices));
    g_object_set_data_full(G_OBJECT(view), "zprava-text-feed", feed, Free);
    if (feed->InsertSlice()) {
      feed->source_ = g_idle_add_full(kFeedPriority, InsertSliceLater, feed, nullptr);
    }
  }

 private:
  TextFeed(GtkTextBuffer* buffer, std::vector<std::string> slices)
      : buffer_(GTK_TEXT_BUFFER(g_object_ref(buffer))), slices_(std::move(slices)) {}

  // Inserts the next slice; true while more remain.
  bool InsertSlice() {
    if (next_ == slices_.size()) return false;
    std::string& slice = slices_[next_++];
    GtkTextIter at;
    gtk_text_buffer_get_end_iter(buffer_.get(), &at);
    gtk_text_buffer_insert(buffer_.get(), &at, slice.data(), static_cast<gint>(slice.size()));
    slice = std::string();
    return next_ < slices_.size();
  }

  static gboolean InsertSliceLater(gpointer data) {
    auto* feed = static_cast<TextFeed*>(data);
    if (feed->InsertSlice()) return G_SOURCE_CONTINUE;
    feed->source_ = 0;
    return G_SOURCE_REMOVE;
  }

  static void Free(gpointer data) {
    auto* feed = static_cast<TextFeed*>(data);
    if (feed->source_ != 0) g_source_remove(feed->source_);
    delete feed;
  }

  GObjectPtr<GtkTextBuffer> buffer_;  // its own reference: the view may let go first
  std::vector<std::string> slices_;
  std::size_t next_ = 0;
  guint source_ = 0;
};

}  // namespace

GtkWidget* NewFedTextView(std::vector<std::string> slices, int width, int height) {
  GtkWidget* view = gtk_text_view_new();
  gtk_text_view_set_editable(GTK_TEXT_VIEW(view), FALSE);
  gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(view), FALSE);
  gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view), GTK_WRAP_WORD_CHAR);
  gtk_text_view_set_left_margin(GTK_TEXT_VIEW(view), 6);
  gtk_text_view_set_right_margin(GTK_TEXT_VIEW(view), 6);
  TextFeed::Start(GTK_TEXT_VIEW(view), std::move(slices));
  GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER,
                                 GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled), GTK_SHADOW_IN);
  gtk_widget_set_size_request(scrolled, width, height);
  gtk_container_add(GTK_CONTAINER(scrolled), view);
  return scrolled;
}

}  // namespace zprava
