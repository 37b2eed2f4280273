"""The built program without a display: the terminal dialog and the exit status."""

import os
import pty
import select
import subprocess
import sys
import time
import unittest

from harness import (CAPTION, NOT_FOUND, NoticeFolder, base_environment, command, header_dates,
                     run)

BINARY = None


def expected_screen(body, locale_name="C"):
    return [f"[?] {CAPTION}\nZpráva: {date}\n{body}\n[ OK ]\n".encode() for date in
            header_dates(locale_name)]


class TerminalDialog(unittest.TestCase):
    def run_in(self, folder, locale_name="C", **kwargs):
        return run(BINARY, folder.path, base_environment(LC_ALL=locale_name), **kwargs)

    def test_notice_is_printed_exactly(self):
        notice = '\r\nDobrý den; kolegové,"porada, 9:00"\r\n\r\nIT\r\n'
        for locale_name in ("C", "cs_CZ.UTF-8"):
            with self.subTest(locale_name), NoticeFolder(notice) as folder:
                result = self.run_in(folder, locale_name)
                self.assertEqual(result.returncode, 0)
                self.assertIn(result.stdout,
                              expected_screen("Dobrý den, kolegové\nporada, 9:00\n\nIT", locale_name))

    def test_missing_file_prints_the_not_found_notice(self):
        with NoticeFolder() as folder:
            result = self.run_in(folder)
            self.assertEqual(result.returncode, 1)
            self.assertIn(result.stdout, expected_screen(NOT_FOUND))

    def test_other_failures_print_nothing(self):
        with NoticeFolder() as folder:
            os.mkdir(os.path.join(folder.path, "Zprava.ini"))
            result = self.run_in(folder)
            self.assertEqual((result.returncode, result.stdout), (2, b""))
        with NoticeFolder() as folder:
            os.mkfifo(os.path.join(folder.path, "Zprava.ini"))
            result = self.run_in(folder, timeout=5)
            self.assertEqual((result.returncode, result.stdout), (2, b""))

    def test_control_characters_never_reach_the_terminal(self):
        with NoticeFolder(b"a\x1b[2J\x07b,\"c\rd\"\x00e") as folder:
            result = self.run_in(folder)
            self.assertEqual(result.returncode, 0)
            self.assertIn(result.stdout, expected_screen("a\ufffd[2J\ufffdb\nc\nd\ufffde"))

    def test_windows_1250_file_is_shown_in_czech(self):
        with NoticeFolder(b"P\xf8\xedli\x9a \x9elu\x9dou\xe8k\xfd k\xf9\xf2") as folder:
            self.assertIn(self.run_in(folder).stdout, expected_screen("Příliš žluťoučký kůň"))

    def test_waits_for_enter_on_a_terminal(self):
        with NoticeFolder("x") as folder:
            controller, device = pty.openpty()
            process = subprocess.Popen(command(BINARY), cwd=folder.path, stdin=device, stdout=device,
                                       env=base_environment(LC_ALL="C"))
            os.close(device)
            try:
                output = b""
                while b"[ OK ]" not in output:
                    ready, _, _ = select.select([controller], [], [], 10)
                    self.assertTrue(ready, "no dialog on the terminal")
                    output += os.read(controller, 4096)
                time.sleep(0.3)
                self.assertIsNone(process.poll(), "ended before Enter")
                os.write(controller, b"\n")
                self.assertEqual(process.wait(timeout=5), 0)
            finally:
                process.kill()
                os.close(controller)


if __name__ == "__main__":
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
