"""The yardstick for what a screen reader says: GTK's own message dialog, captioned and headed as
zprava's, its body a read-only GtkTextView holding the text of the file named by argv[2]."""

import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

header, body_file = sys.argv[1], sys.argv[2]
with open(body_file, encoding="utf-8") as f:
    body = f.read()
dialog = Gtk.MessageDialog(modal=True, message_type=Gtk.MessageType.QUESTION,
                           buttons=Gtk.ButtonsType.NONE, text=header)
dialog.set_title("Tibrel")
dialog.get_accessible().set_name("Tibrel")
view = Gtk.TextView(editable=False)
view.get_buffer().set_text(body)
view.get_buffer().place_cursor(view.get_buffer().get_start_iter())
scrolled = Gtk.ScrolledWindow()
scrolled.set_size_request(640, 480)
scrolled.add(view)
dialog.get_message_area().pack_start(scrolled, True, True, 0)
dialog.add_button("OK", Gtk.ResponseType.OK)
dialog.set_default_response(Gtk.ResponseType.OK)
dialog.show_all()
dialog.run()
