"""The built program on a desktop, X11 and Wayland: the GTK dialog read through AT-SPI, dismissed
by keys on X11 and by its OK button's action on Wayland (weston's headless backend has no seat)."""

import contextlib
import os
import signal
import subprocess
import sys
import time
import unittest

from accessible import (accessible_dialog, button_share, descendants, dialog_contents, notice_text,
                        notice_view, ok_button)
from desktop import VirtualDesktop, WaylandDesktop, ensure_dbus_session
from harness import (CAPTION, NOT_FOUND, NoticeFolder, base_environment, header_dates,
                     sanitized)

BINARY = None
SCREENSHOTS = os.environ.get("ZPRAVA_SCREENSHOTS", "/tmp/zprava-screenshots")

# A GtkMessageDialog as GTK makes it, with the icon and button ours has: the yardstick for the look.
REFERENCE_DIALOG = """
import sys, gi
gi.require_version("Gtk", "3.0")
from gi.repository import Gtk
dialog = Gtk.MessageDialog(modal=True, message_type=Gtk.MessageType.QUESTION,
                           buttons=Gtk.ButtonsType.NONE, text=sys.argv[1])
dialog.format_secondary_text(sys.argv[2])
dialog.set_image(Gtk.Image.new_from_icon_name("dialog-question", Gtk.IconSize.DIALOG))
dialog.add_button("OK", Gtk.ResponseType.OK)
dialog.set_title("Reference")
dialog.set_position(Gtk.WindowPosition.CENTER)
dialog.get_accessible().set_name("Reference")
dialog.show_all()
dialog.run()
"""

THEMES = {"adwaita": {}, "adwaita-dark": {"GTK_THEME": "Adwaita:dark"},
          "high-contrast": {"GTK_THEME": "HighContrast"}}


def snapshot(*roots):
    """Every file and folder under the roots, with what would show a write."""
    entries = {}
    for root in roots:
        for folder, dirs, files in os.walk(root):
            for name in dirs + files:
                path = os.path.join(folder, name)
                info = os.lstat(path)
                entries[path] = (info.st_mode, info.st_size, info.st_mtime_ns)
    return entries


def labels_for(body, locale_name="C"):
    """The labels a notice shows: the dated header, then the body when there is one."""
    return [[f"Zpráva: {d}"] + ([body] if body else []) for d in header_dates(locale_name)]


class DialogCases:
    """What holds on every desktop; the subclasses say how to start one and dismiss a dialog."""

    desktop = None
    name = None
    new_desktop = None  # the class of desktop

    @classmethod
    def setUpClass(cls):
        cls.desktop = cls.new_desktop()

    @classmethod
    def tearDownClass(cls):
        cls.desktop.close()

    def launch(self, folder, locale_name="C", **extra):
        env = base_environment(LC_ALL=locale_name, **self.desktop.environment(), **extra)
        process = subprocess.Popen([BINARY], cwd=folder.path, env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL)
        self.addCleanup(process.wait)
        self.addCleanup(process.kill)
        return process, accessible_dialog(process.pid)

    def dismiss_by_ok(self, dialog):
        ok_button(dialog).queryAction().doAction(0)

    def screenshot(self, name):
        self.desktop.screenshot(os.path.join(SCREENSHOTS, f"{self.name}-{name}.png"))

    def assert_ends_within_a_second(self, process, status):
        start = time.monotonic()
        self.assertEqual(process.wait(timeout=5), status)
        self.assertLess(time.monotonic() - start, 1.0)

    def test_notice_text_icon_and_single_ok_button(self):
        notice = '\r\nDobrý den; kolegové,"porada, 9:00"\r\n<b>&amp; %s %n</b>\r\n'
        with NoticeFolder(notice) as folder:
            process, dialog = self.launch(folder, "cs_CZ.UTF-8")
            contents = dialog_contents(dialog)
            self.assertIn(contents["labels"],
                          labels_for("Dobrý den, kolegové\nporada, 9:00\n<b>&amp, %s %n</b>",
                                     "cs_CZ.UTF-8"))
            self.assertEqual(contents["buttons"], ["OK"])
            self.assertEqual(contents["icons"], 1)
            self.screenshot("notice")
            self.dismiss(process, dialog)
            self.assert_ends_within_a_second(process, 0)

    def test_not_found_notice_has_two_lines(self):
        with NoticeFolder() as folder:
            process, dialog = self.launch(folder)
            self.assertIn(dialog_contents(dialog)["labels"], labels_for(NOT_FOUND))
            self.screenshot("not-found")
            self.dismiss_by_ok(dialog)
            self.assert_ends_within_a_second(process, 1)

    def test_empty_notice_shows_the_header_alone(self):
        with NoticeFolder("") as folder:
            process, dialog = self.launch(folder)
            self.assertIn(dialog_contents(dialog)["labels"], labels_for(""))
            self.dismiss_by_ok(dialog)
            self.assert_ends_within_a_second(process, 0)

    def test_markup_and_formats_are_shown_literally(self):
        notice = "%s %n %x,<b>bold</b> <span foreground='red'>x</span>,&amp &#39,a\u202eb,\x1b[1m"
        with NoticeFolder(notice) as folder:
            process, dialog = self.launch(folder)
            body = "%s %n %x\n<b>bold</b> <span foreground='red'>x</span>\n&amp &#39\na\u202eb\n\ufffd[1m"
            self.assertIn(dialog_contents(dialog)["labels"], labels_for(body))
            self.dismiss(process, dialog)
            self.assert_ends_within_a_second(process, 0)

    def test_termination_signals_end_it_cleanly(self):
        for signal_number in (signal.SIGTERM, signal.SIGHUP):
            with self.subTest(signal_number.name), NoticeFolder("x") as folder:
                process, _ = self.launch(folder)
                process.send_signal(signal_number)
                self.assertEqual(process.wait(timeout=5), -signal_number)
                self.assertFalse(any(name.startswith("core") for name in os.listdir(folder.path)))

    def test_long_notice_scrolls_and_keeps_ok_on_screen(self):
        lines = [f"Řádek {i}; text" for i in range(1, 5001)]
        with NoticeFolder("\r\n".join(lines)) as folder:
            process, dialog = self.launch(folder)
            self.assert_fits_the_screen(dialog)
            contents = dialog_contents(dialog)
            self.assertTrue(contents["labels"][0].startswith("Zpráva: "))
            self.assertEqual(contents["texts"], ["\n".join(l.replace(";", ",") for l in lines)])
            self.assertEqual(contents["buttons"], ["OK"])
            self.screenshot("long-notice")
            self.dismiss(process, dialog)
            self.assert_ends_within_a_second(process, 0)

    def test_screen_reader_reads_a_huge_notice_line_by_line(self):
        """60,000 lines: the first, the last and one in the middle, by character offset."""
        import pyatspi
        lines = [f"Řádek {i}; text" for i in range(1, 60001)]
        shown = [line.replace(";", ",") for line in lines]
        with NoticeFolder("\r\n".join(lines)) as folder:
            process, dialog = self.launch(folder)
            text = notice_text(dialog)
            count = text.characterCount
            self.assertEqual(count, len("\n".join(shown)))
            middle = len("\n".join(shown[:30000])) + 1 + 8  # inside "30001"
            line_start = pyatspi.TEXT_BOUNDARY_LINE_START
            self.assertEqual(text.getTextAtOffset(0, line_start), (shown[0] + "\n", 0, len(shown[0]) + 1))
            self.assertEqual(text.getTextAtOffset(count - 1, line_start)[0], shown[-1])
            self.assertEqual(text.getTextAtOffset(middle, line_start)[0], shown[30000] + "\n")
            self.assertEqual(text.getTextAtOffset(middle, pyatspi.TEXT_BOUNDARY_WORD_START)[0],
                             "30001, ")
            self.assertEqual(text.getText(count - 5, count), shown[-1][-5:])
            # Where the first characters are drawn, inside the view, and back again.
            view = notice_view(dialog).queryComponent().getExtents(pyatspi.WINDOW_COORDS)
            x, y, width, height = text.getCharacterExtents(1, pyatspi.WINDOW_COORDS)
            self.assertTrue(view.x < x < view.x + view.width and view.y < y < view.y + view.height)
            self.assertGreater(width * height, 0)
            self.assertEqual(text.getOffsetAtPoint(x + width // 2, y + height // 2,
                                                   pyatspi.WINDOW_COORDS), 1)
            self.screenshot("huge-notice")
            self.dismiss(process, dialog)
            self.assert_ends_within_a_second(process, 0)

    def test_worst_shapes_appear_and_end_at_once(self):
        """Unbroken words, combining marks and one endless paragraph, shown in full."""
        shapes = {
            "one word of 200,000 letters": "x" * 200_000,
            "100,000 letters with combining accents": "e\u0301" * 100_000,
            "one paragraph of 150,000 words": " ".join(["slovo"] * 150_000),
        }
        for shape, notice in shapes.items():
            with self.subTest(shape), NoticeFolder(notice) as folder:
                process, dialog = self.launch(folder)
                self.assertEqual(notice_text(dialog).characterCount, len(notice))
                self.dismiss(process, dialog)
                self.assert_ends_within_a_second(process, 0)

    def test_ok_spans_the_dialog_as_in_a_message_dialog(self):
        """Under every theme, the OK button takes the share of the width a GtkMessageDialog's
        does; the screenshots of both lie side by side in one picture for each theme."""
        for theme, env in THEMES.items():
            with self.subTest(theme), NoticeFolder("Dobrý den; kolegové") as folder:
                process, dialog = self.launch(folder, **env)
                ours = button_share(dialog)
                self.screenshot(f"{theme}-zprava")
                self.dismiss_by_ok(dialog)
                self.assertEqual(process.wait(timeout=5), 0)
                reference = subprocess.Popen(
                    [sys.executable, "-c", REFERENCE_DIALOG, "Zpráva: reference", "Dobrý den"],
                    env=base_environment(LC_ALL="C", **self.desktop.environment(), **env),
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                self.addCleanup(reference.kill)
                reference_dialog = accessible_dialog(reference.pid, "Reference")
                theirs = button_share(reference_dialog)
                self.screenshot(f"{theme}-reference")
                self.dismiss_by_ok(reference_dialog)
                reference.wait(timeout=5)
                self.side_by_side(theme)
                self.assertAlmostEqual(ours, theirs, delta=0.05)

    def test_at_twice_the_scale(self):
        with NoticeFolder("Dobrý den; kolegové") as folder, self.scaled_twice() as extra:
            process, dialog = self.launch(folder, **extra)
            self.assertGreater(button_share(dialog), 0.9)
            self.screenshot("scale-2")
            self.dismiss_by_ok(dialog)
            self.assertEqual(process.wait(timeout=5), 0)

    def side_by_side(self, theme):
        pictures = [os.path.join(SCREENSHOTS, f"{self.name}-{theme}-{who}.png")
                    for who in ("zprava", "reference")]
        # Trimmed to the dialogs where the desktop around them is plain (X11).
        subprocess.run(["convert", *pictures, "-trim", "+repage", "-bordercolor", "gray50",
                        "-border", "8", "+append",
                        os.path.join(SCREENSHOTS, f"{self.name}-{theme}.png")], check=True)
        for picture in pictures:
            os.remove(picture)

    def test_display_dying_under_the_dialog_ends_it(self):
        """The X server or the Wayland compositor going away ends it with 2, not GDK's 1."""
        doomed = self.new_desktop(800, 600)
        try:
            with NoticeFolder("x") as folder:
                process = subprocess.Popen(
                    [BINARY], cwd=folder.path, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                    stderr=subprocess.DEVNULL, env=base_environment(**doomed.environment()))
                self.addCleanup(process.kill)
                accessible_dialog(process.pid)
                doomed.kill()
                self.assertEqual(process.wait(timeout=5), 2)
        finally:
            doomed.close()

    def test_writes_nothing_even_under_a_writable_home(self):
        with NoticeFolder("x") as folder, NoticeFolder() as home:
            env = dict(HOME=home.path,
                       XDG_CONFIG_HOME=os.path.join(home.path, "config"),
                       XDG_CACHE_HOME=os.path.join(home.path, "cache"),
                       XDG_DATA_HOME=os.path.join(home.path, "data"),
                       XDG_STATE_HOME=os.path.join(home.path, "state"))
            before = snapshot(folder.path, home.path)
            process, dialog = self.launch(folder, **env)
            self.dismiss_by_ok(dialog)
            self.assertEqual(process.wait(timeout=5), 0)
            self.assertEqual(snapshot(folder.path, home.path), before)


class X11Dialog(DialogCases, unittest.TestCase):
    name = "x11"
    new_desktop = VirtualDesktop

    def dismiss(self, process, dialog):
        self.desktop.press(self.desktop.wait_for_window(CAPTION), "Return")

    @contextlib.contextmanager
    def scaled_twice(self):
        yield {"GDK_SCALE": "2"}

    def assert_fits_the_screen(self, dialog):
        x, y, width, height = self.desktop.geometry(self.desktop.wait_for_window(CAPTION))
        self.assertGreaterEqual(min(x, y), 0)
        self.assertLessEqual(x + width, self.desktop.width)
        self.assertLessEqual(y + height, self.desktop.height)

    def test_every_way_of_dismissing_ends_the_program(self):
        dismissals = {
            "Return": lambda w: self.desktop.press(w, "Return"),
            "Escape": lambda w: self.desktop.press(w, "Escape"),
            "space on OK": lambda w: self.desktop.press(w, "space"),
            "close control": self.desktop.close_window,
        }
        for name, dismiss in dismissals.items():
            with self.subTest(name), NoticeFolder("x") as folder:
                process, _ = self.launch(folder)
                dismiss(self.desktop.wait_for_window(CAPTION))
                self.assert_ends_within_a_second(process, 0)

    def seconds_to_close(self, window, key):
        """From the key sent to the dialog's window gone from the screen."""
        self.desktop.xdotool("windowfocus", "--sync", str(window))
        start = time.monotonic()
        self.desktop.xdotool("key", key)
        while time.monotonic() - start < 5:
            shown = self.desktop.xdotool("search", "--onlyvisible", "--name", f"^{CAPTION}$")
            if str(window) not in shown.stdout.split():
                break
        return time.monotonic() - start

    def test_keys_end_the_dialog_at_once_whatever_has_the_focus(self):
        """With the long view focused, Return and Enter must not go through the default button:
        it plays its pressed animation, a quarter of a second, before it answers."""
        long_notice = "\r\n".join(f"Řádek {i}" for i in range(1, 9001))
        for notice, keys in (("x", ("Return", "KP_Enter", "Escape")),
                             (long_notice, ("Return", "KP_Enter", "ISO_Enter", "Escape"))):
            for key in keys:
                with self.subTest(lines=notice.count("\n") + 1, key=key), \
                        NoticeFolder(notice) as folder:
                    process, _ = self.launch(folder)
                    seconds = self.seconds_to_close(self.desktop.wait_for_window(CAPTION), key)
                    if not sanitized():  # whose leak check at exit takes about a second
                        self.assertLess(seconds, 0.2)
                    self.assert_ends_within_a_second(process, 0)

    def test_other_keys_in_the_long_view_leave_it_open(self):
        """Keys with Return that mean something else, and the view's own keys, end nothing."""
        with NoticeFolder("\r\n".join(f"Řádek {i}" for i in range(1, 9001))) as folder:
            process, _ = self.launch(folder)
            window = self.desktop.wait_for_window(CAPTION)
            for key in ("ctrl+Return", "alt+Return", "Down", "ctrl+End", "shift+Home"):
                self.desktop.press(window, key)
            time.sleep(0.5)
            self.assertIsNone(process.poll())
            self.desktop.press(window, "Return")
            self.assert_ends_within_a_second(process, 0)

    def has_focus(self, dialog, role):
        return self.focused_role(dialog) == role

    @staticmethod
    def focused_role(dialog):
        import pyatspi
        for node in descendants(dialog):
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                return node.getRole()
        return None

    def test_long_notice_is_read_by_keys_and_copied(self):
        """Tab reaches the text; Ctrl+End, Shift+Up and Ctrl+C copy the last line, with the line
        end before it; Return still ends the dialog."""
        import pyatspi
        lines = [f"Řádek {i}; text" for i in range(1, 20001)]
        with NoticeFolder("\r\n".join(lines)) as folder:
            process, dialog = self.launch(folder)
            window = self.desktop.wait_for_window(CAPTION)
            top = os.path.join(SCREENSHOTS, "x11-huge-notice-top.png")
            self.desktop.screenshot(top)
            text = notice_text(dialog)
            focused = []  # what Tab reaches from OK, up to the text
            while not self.has_focus(dialog, pyatspi.ROLE_TEXT) and len(focused) < 4:
                self.desktop.press(window, "Tab")
                focused.append(self.focused_role(dialog))
            self.assertLessEqual(len(focused), 2, focused)
            for keys in ("ctrl+End", "shift+Up", "ctrl+c"):
                self.desktop.press(window, keys)
            last_line = "\nŘádek 20000, text"
            end = text.characterCount
            self.assertEqual(text.caretOffset, end - len(last_line))
            self.assertEqual(text.getSelection(0), (end - len(last_line), end))
            self.assertEqual(self.desktop.clipboard(), last_line)
            time.sleep(0.3)  # for the picture: the last drawing may be under way
            self.desktop.screenshot(os.path.join(SCREENSHOTS, "x11-huge-notice-end.png"))
            self.desktop.press(window, "Return")  # the view leaves Return to the dialog
            self.assert_ends_within_a_second(process, 0)

    def test_writes_nothing_without_a_runtime_folder_or_session_bus(self):
        # As under su or from cron: a display, but no runtime folder and no session bus.
        with NoticeFolder("x") as folder, NoticeFolder() as home:
            env = {"PATH": os.environ["PATH"], "HOME": home.path, "LC_ALL": "C",
                   "DISPLAY": self.desktop.name,
                   **{k: v for k, v in os.environ.items() if k.endswith("SAN_OPTIONS")}}
            before = snapshot(folder.path, home.path)
            process = subprocess.Popen([BINARY], cwd=folder.path, env=env,
                                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
            self.addCleanup(process.kill)
            self.desktop.press(self.desktop.wait_for_window(CAPTION), "Return")
            self.assertEqual(process.wait(timeout=5), 0)
            terminal = subprocess.run([BINARY], cwd=folder.path, env={**env, "DISPLAY": ""},
                                      stdin=subprocess.DEVNULL, capture_output=True, timeout=10)
            self.assertEqual(terminal.returncode, 0)
            self.assertEqual(snapshot(folder.path, home.path), before)


class WaylandDialog(DialogCases, unittest.TestCase):
    name = "wayland"
    new_desktop = WaylandDesktop

    def dismiss(self, process, dialog):
        self.dismiss_by_ok(dialog)

    @contextlib.contextmanager
    def scaled_twice(self):
        """A compositor whose output has twice the scale: GTK follows it there."""
        saved = self.desktop
        self.desktop = self.new_desktop(scale=2)
        try:
            yield {}
        finally:
            self.desktop.close()
            self.desktop = saved

    def assert_fits_the_screen(self, dialog):
        import pyatspi
        extents = dialog.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
        self.assertLessEqual(extents.width, self.desktop.width)
        self.assertLessEqual(extents.height, self.desktop.height)



if __name__ == "__main__":
    ensure_dbus_session()
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
