"""zprava.exe under wine on a private Xvfb: the message box or the program's own dialog for
long notices, their text and place on screen, the ways of dismissing them, the exit status."""

import os
import subprocess
import sys
import time
import unittest

from desktop import VirtualDesktop
from harness import CAPTION, NOT_FOUND, NoticeFolder, header_dates

EXE = WINDOW_TEXT = None
SCREENSHOTS = os.environ.get("ZPRAVA_SCREENSHOTS", "/tmp/zprava-screenshots")


def wine_works():
    try:
        started = subprocess.run(["wine", "cmd", "/c", "exit", "0"], capture_output=True,
                                 timeout=300)
        return started.returncode == 0, started.stderr.decode(errors="replace")[-500:]
    except (OSError, subprocess.TimeoutExpired) as error:
        return False, str(error)


class WindowsMessageBox(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # A wine server left from an earlier run would carry its programs and
        # state into this one.
        subprocess.run(["wineserver", "-k"], capture_output=True, timeout=60)
        works, why = wine_works()
        if not works:
            raise unittest.SkipTest(f"wine cannot start here, so zprava.exe was built but not run: {why}")
        cls.desktop = VirtualDesktop()

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["wineserver", "-k"], capture_output=True, timeout=60)
        cls.desktop.close()

    def show(self, folder):
        process = subprocess.Popen(["wine", EXE], cwd=folder.path, env=self.env(),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(process.wait)
        self.addCleanup(process.kill)
        window = self.desktop.wait_for_window(CAPTION, timeout=60)
        return process, window, self.dialog_text()

    def env(self):
        return {**os.environ, "DISPLAY": self.desktop.name}

    def dialog_text(self):
        shown = subprocess.run(["wine", WINDOW_TEXT, CAPTION], env=self.env(), capture_output=True,
                               timeout=60)
        self.assertEqual(shown.returncode, 0, "the dialog's text could not be read")
        # The text as the dialog holds it, with Windows' CR LF line ends, then
        # the icon and the screen rectangles of the dialog, its first line and OK.
        text, details = shown.stdout.decode("utf-8").split("\nicon: ", 1)
        icon, *rectangles = details.splitlines()
        self.assertEqual(icon, "yes")
        self.bounds = {name: [int(n) for n in numbers.split()]
                       for name, numbers in (r.split(": ") for r in rectangles)}
        return text

    def body_after(self, window, key, holds):
        """The body once `key`, pressed in it, has made it hold what `holds` accepts."""
        self.desktop.press(window, key)
        deadline = time.monotonic() + 20
        while True:
            body = self.dialog_text().split("\r\n", 1)[1]
            if holds(body) or time.monotonic() > deadline:
                return body
            time.sleep(0.2)

    def assertOnScreen(self, *names):
        for name in names:
            left, top, right, bottom = self.bounds[name]
            self.assertTrue(0 <= left < right <= self.desktop.width and
                            0 <= top < bottom <= self.desktop.height, (name, self.bounds[name]))

    def dismiss(self, process, window, status, key="Return"):
        self.desktop.press(window, key)
        start = time.monotonic()
        self.assertEqual(process.wait(timeout=30), status)
        self.assertLess(time.monotonic() - start, 10)

    def test_notice(self):
        with NoticeFolder("Dobrý den; kolegové,\"porada, 9:00\"\r\n") as folder:
            process, window, text = self.show(folder)
            self.assertIn(text, [f"Zpráva: {d}\r\nDobrý den, kolegové\r\nporada, 9:00"
                                 for d in header_dates("cs_CZ.UTF-8")])
            self.desktop.screenshot(os.path.join(SCREENSHOTS, "windows-notice.png"))
            self.dismiss(process, window, 0)

    def test_windows_1250_file(self):
        with NoticeFolder(b"P\xf8\xedli\x9a \x9elu\x9dou\xe8k\xfd k\xf9\xf2") as folder:
            process, window, text = self.show(folder)
            self.assertTrue(text.endswith("\r\nPříliš žluťoučký kůň"), text)
            self.dismiss(process, window, 0)

    def test_not_found_notice(self):
        with NoticeFolder() as folder:
            process, window, text = self.show(folder)
            self.assertIn(text, [f"Zpráva: {d}\r\n{NOT_FOUND}"
                                 for d in header_dates("cs_CZ.UTF-8")])
            self.desktop.screenshot(os.path.join(SCREENSHOTS, "windows-not-found.png"))
            self.dismiss(process, window, 1)

    def test_long_notice_fits_the_screen(self):
        lines = [f"Řádek {n}: Příliš žluťoučký kůň úpěl ďábelské ódy" for n in range(1, 5001)]
        with NoticeFolder("\r\n".join(lines).encode("cp1250")) as folder:
            process, window, text = self.show(folder)
            header, body = text.split("\r\n", 1)
            self.assertIn(header, [f"Zpráva: {d}" for d in header_dates("cs_CZ.UTF-8")])
            self.assertTrue(body == "\r\n".join(lines), body[:200] + " … " + body[-200:])
            self.assertOnScreen("window", "first line", "ok")
            self.desktop.screenshot(os.path.join(SCREENSHOTS, "windows-long-notice.png"))
            self.dismiss(process, window, 0)

    def test_huge_notice_is_read_to_its_end_and_back(self):
        # About 600,000 code units: more than the edit control is given at once.
        lines = [f"Řádek {n}: Příliš žluťoučký kůň úpěl ďábelské ódy" for n in range(1, 11_501)]
        first, last = lines[0] + "\r\n", "\r\n" + lines[-1]
        with NoticeFolder("\r\n".join(lines).encode("cp1250")) as folder:
            process, window, text = self.show(folder)
            body = text.split("\r\n", 1)[1]
            self.assertTrue(body.startswith(first), body[:200])
            self.assertNotIn(last, body)
            self.assertOnScreen("window", "first line", "ok")
            self.desktop.press(window, "Tab")  # from OK to the body
            body = self.body_after(window, "ctrl+End", lambda b: b.endswith(last))
            self.assertTrue(body.endswith(last), body[-200:])
            self.assertNotIn(first, body)
            self.desktop.screenshot(os.path.join(SCREENSHOTS, "windows-huge-notice-end.png"))
            body = self.body_after(window, "ctrl+Home", lambda b: b.startswith(first))
            self.assertTrue(body.startswith(first), body[:200])
            self.dismiss(process, window, 0)

    def test_escape_and_the_close_control_dismiss_both_kinds(self):
        for notice in ("Krátká zpráva", "\r\n".join(["Dlouhá zpráva"] * 2000)):
            for way in ("Escape", "close"):
                with self.subTest(lines=notice.count("\n") + 1, way=way), \
                        NoticeFolder(notice) as folder:
                    process, window, _ = self.show(folder)
                    if way == "close":
                        self.desktop.close_window(window)
                        self.assertEqual(process.wait(timeout=30), 0)
                    else:
                        self.dismiss(process, window, 0, key=way)


if __name__ == "__main__":
    EXE, WINDOW_TEXT = (os.path.abspath(a) for a in sys.argv[1:3])
    del sys.argv[1:3]
    unittest.main(verbosity=2)
