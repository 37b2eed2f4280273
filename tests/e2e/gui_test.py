"""The built program on a desktop: the GTK dialog read through AT-SPI and driven by keys."""

import os
import signal
import subprocess
import sys
import time
import unittest

from desktop import VirtualDesktop, ensure_dbus_session
from harness import CAPTION, NOT_FOUND, NoticeFolder, base_environment, header_dates

BINARY = None
SCREENSHOTS = os.environ.get("ZPRAVA_SCREENSHOTS", "/tmp/zprava-screenshots")


def accessible_dialog(caption, timeout=20.0):
    import pyatspi
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            for window in app or []:
                if window is not None and window.name == caption:
                    return window
        time.sleep(0.1)
    raise AssertionError("the dialog is not on the accessibility bus")


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child)


def dialog_contents(window):
    """Labels, scrolled text, buttons and icons of the dialog, as a person's reader sees them."""
    import pyatspi
    contents = {"labels": [], "texts": [], "buttons": [], "icons": 0}
    for node in descendants(window):
        role = node.getRole()
        if role == pyatspi.ROLE_LABEL:
            contents["labels"].append(node.queryText().getText(0, -1))
        elif role == pyatspi.ROLE_TEXT:
            contents["texts"].append(node.queryText().getText(0, -1))
        elif role == pyatspi.ROLE_PUSH_BUTTON:
            contents["buttons"].append(node.name)
        elif role == pyatspi.ROLE_ICON:
            contents["icons"] += 1
    return contents


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


class GtkDialog(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = VirtualDesktop()

    @classmethod
    def tearDownClass(cls):
        cls.desktop.close()

    def launch(self, folder, locale_name="C"):
        env = base_environment(DISPLAY=self.desktop.name, LC_ALL=locale_name)
        process = subprocess.Popen([BINARY], cwd=folder.path, env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL)
        self.addCleanup(process.wait)
        self.addCleanup(process.kill)
        return process, self.desktop.wait_for_window(CAPTION)

    def assert_ends_within_a_second(self, process, status):
        start = time.monotonic()
        self.assertEqual(process.wait(timeout=5), status)
        self.assertLess(time.monotonic() - start, 1.0)

    def test_notice_text_icon_and_single_ok_button(self):
        notice = '\r\nDobrý den; kolegové,"porada, 9:00"\r\n<b>&amp; %s %n</b>\r\n'
        with NoticeFolder(notice) as folder:
            process, window = self.launch(folder, "cs_CZ.UTF-8")
            contents = dialog_contents(accessible_dialog(CAPTION))
            bodies = [f"Zpráva: {d}\nDobrý den, kolegové\nporada, 9:00\n<b>&amp, %s %n</b>"
                      for d in header_dates("cs_CZ.UTF-8")]
            self.assertEqual(len(contents["labels"]), 1)
            self.assertIn(contents["labels"][0], bodies)
            self.assertEqual(contents["buttons"], ["OK"])
            self.assertEqual(contents["icons"], 1)
            self.desktop.screenshot(os.path.join(SCREENSHOTS, "notice.png"))
            self.desktop.press(window, "Return")
            self.assert_ends_within_a_second(process, 0)

    def test_not_found_notice_has_two_lines(self):
        with NoticeFolder() as folder:
            process, window = self.launch(folder)
            contents = dialog_contents(accessible_dialog(CAPTION))
            self.assertIn(contents["labels"], [[f"Zpráva: {d}\n{NOT_FOUND}"]
                                               for d in header_dates("C")])
            self.desktop.screenshot(os.path.join(SCREENSHOTS, "not-found.png"))
            self.desktop.press(window, "Escape")
            self.assert_ends_within_a_second(process, 1)

    def test_every_way_of_dismissing_ends_the_program(self):
        dismissals = {
            "Return": lambda w: self.desktop.press(w, "Return"),
            "Escape": lambda w: self.desktop.press(w, "Escape"),
            "space on OK": lambda w: self.desktop.press(w, "space"),
            "close control": self.desktop.close_window,
        }
        for name, dismiss in dismissals.items():
            with self.subTest(name), NoticeFolder("x") as folder:
                process, window = self.launch(folder)
                dismiss(window)
                self.assert_ends_within_a_second(process, 0)

    def test_markup_and_formats_are_shown_literally(self):
        notice = "%s %n %x,<b>bold</b> <span foreground='red'>x</span>,&amp &#39,a\u202eb,\x1b[1m"
        with NoticeFolder(notice) as folder:
            process, window = self.launch(folder)
            labels = dialog_contents(accessible_dialog(CAPTION))["labels"]
            body = "%s %n %x\n<b>bold</b> <span foreground='red'>x</span>\n&amp &#39\na\u202eb\n\ufffd[1m"
            self.assertIn(labels, [[f"Zpráva: {d}\n{body}"] for d in header_dates("C")])
            self.desktop.press(window, "Return")
            self.assert_ends_within_a_second(process, 0)

    def test_termination_signals_end_it_cleanly(self):
        for signal_number in (signal.SIGTERM, signal.SIGHUP):
            with self.subTest(signal_number.name), NoticeFolder("x") as folder:
                process, _ = self.launch(folder)
                process.send_signal(signal_number)
                self.assertEqual(process.wait(timeout=5), -signal_number)
                self.assertFalse(any(name.startswith("core") for name in os.listdir(folder.path)))

    def test_display_dying_under_the_dialog_ends_it(self):
        doomed = VirtualDesktop(800, 600)
        try:
            with NoticeFolder("x") as folder:
                process = subprocess.Popen(
                    [BINARY], cwd=folder.path, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                    stderr=subprocess.DEVNULL, env=base_environment(DISPLAY=doomed.name))
                self.addCleanup(process.kill)
                doomed.wait_for_window(CAPTION)
                doomed.server.kill()
                self.assertEqual(process.wait(timeout=5), 2)
        finally:
            doomed.close()

    def test_writes_nothing_even_under_a_writable_home(self):
        # A desktop session always has a runtime folder; without one GLib would
        # create the cache folder to stand in for it.
        with NoticeFolder("x") as folder, NoticeFolder() as home, NoticeFolder() as runtime:
            env = base_environment(DISPLAY=self.desktop.name, LC_ALL="C", HOME=home.path,
                                   XDG_RUNTIME_DIR=runtime.path,
                                   XDG_CONFIG_HOME=os.path.join(home.path, "config"),
                                   XDG_CACHE_HOME=os.path.join(home.path, "cache"),
                                   XDG_DATA_HOME=os.path.join(home.path, "data"),
                                   XDG_STATE_HOME=os.path.join(home.path, "state"))
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

    def test_long_notice_scrolls_and_keeps_ok_on_screen(self):
        lines = [f"Řádek {i}; text" for i in range(1, 5001)]
        with NoticeFolder("\r\n".join(lines)) as folder:
            process, window = self.launch(folder)
            x, y, width, height = self.desktop.geometry(window)
            self.assertGreaterEqual(min(x, y), 0)
            self.assertLessEqual(x + width, self.desktop.width)
            self.assertLessEqual(y + height, self.desktop.height)
            contents = dialog_contents(accessible_dialog(CAPTION))
            self.assertTrue(contents["labels"][0].startswith("Zpráva: "))
            self.assertEqual(contents["texts"], ["\n".join(l.replace(";", ",") for l in lines)])
            self.assertEqual(contents["buttons"], ["OK"])
            self.desktop.screenshot(os.path.join(SCREENSHOTS, "long-notice.png"))
            self.desktop.press(window, "Return")
            self.assert_ends_within_a_second(process, 0)

    def test_huge_notice_scrolls_a_screenful_at_a_time(self):
        lines = [f"Řádek {i}; text" for i in range(1, 20001)]
        with NoticeFolder("\r\n".join(lines)) as folder:
            process, window = self.launch(folder)
            contents = dialog_contents(accessible_dialog(CAPTION))
            self.assertTrue(contents["labels"][0].startswith("Zpráva: "))
            self.assertEqual(contents["texts"], [])  # past a text view's comfortable size
            self.assertEqual(contents["buttons"], ["OK"])
            first = os.path.join(SCREENSHOTS, "huge-notice.png")
            last = os.path.join(SCREENSHOTS, "huge-notice-end.png")
            self.desktop.screenshot(first)
            self.desktop.xdotool("mousemove", "--window", str(window), "300", "300", "click", "1")
            self.desktop.press(window, "End")
            time.sleep(0.5)
            self.desktop.screenshot(last)
            with open(first, "rb") as before, open(last, "rb") as after:
                self.assertNotEqual(before.read(), after.read())
            self.desktop.press(window, "Return")  # the view leaves Return to the dialog
            self.assert_ends_within_a_second(process, 0)


if __name__ == "__main__":
    ensure_dbus_session()
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
