"""zprava.exe under wine on a private Xvfb: the message box, its text, and the exit status."""

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
        env = {**os.environ, "DISPLAY": self.desktop.name}
        process = subprocess.Popen(["wine", EXE], cwd=folder.path, env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(process.wait)
        self.addCleanup(process.kill)
        window = self.desktop.wait_for_window(CAPTION, timeout=60)
        shown = subprocess.run(["wine", WINDOW_TEXT, CAPTION], env=env, capture_output=True,
                               timeout=60)
        self.assertEqual(shown.returncode, 0, "the message box text could not be read")
        # The text as the box holds it, with Windows' CR LF line ends.
        return process, window, shown.stdout.decode("utf-8")

    def dismiss(self, process, window, status):
        self.desktop.press(window, "Return")
        start = time.monotonic()
        self.assertEqual(process.wait(timeout=30), status)
        self.assertLess(time.monotonic() - start, 10)

    def test_notice(self):
        with NoticeFolder("Dobrý den; kolegové,\"porada, 9:00\"\r\n") as folder:
            process, window, text = self.show(folder)
            self.assertIn(text, [f"Zpráva: {d}\r\nDobrý den, kolegové\r\nporada, 9:00\nicon: yes\n"
                                 for d in header_dates("cs_CZ.UTF-8")])
            self.desktop.screenshot(os.path.join(SCREENSHOTS, "windows-notice.png"))
            self.dismiss(process, window, 0)

    def test_windows_1250_file(self):
        with NoticeFolder(b"P\xf8\xedli\x9a \x9elu\x9dou\xe8k\xfd k\xf9\xf2") as folder:
            process, window, text = self.show(folder)
            self.assertTrue(text.endswith("\r\nPříliš žluťoučký kůň\nicon: yes\n"), text)
            self.dismiss(process, window, 0)

    def test_not_found_notice(self):
        with NoticeFolder() as folder:
            process, window, text = self.show(folder)
            self.assertIn(text, [f"Zpráva: {d}\r\n{NOT_FOUND}\nicon: yes\n"
                                 for d in header_dates("cs_CZ.UTF-8")])
            self.desktop.screenshot(os.path.join(SCREENSHOTS, "windows-not-found.png"))
            self.dismiss(process, window, 1)


if __name__ == "__main__":
    EXE, WINDOW_TEXT = (os.path.abspath(a) for a in sys.argv[1:3])
    del sys.argv[1:3]
    unittest.main(verbosity=2)
