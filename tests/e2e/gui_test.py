"""The built program on a desktop: the GTK dialog read through AT-SPI and driven by keys."""

import os
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


if __name__ == "__main__":
    ensure_dbus_session()
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
