"""The built program on a real terminal (tmux): a notice taller than the screen, read page by page."""

import os
import shlex
import shutil
import signal
import subprocess
import sys
import time
import unittest

from harness import CAPTION, NoticeFolder, base_environment, command, wrapped

BINARY = None
LINES = 6000


def notice_lines(count):
    return [f"Řádek {n}: dobrý den, porada v 9:00 ve třetím patře." for n in range(1, count + 1)]


def notice_file(lines):
    # Items are separated by commas; a semicolon in an item is shown as a comma.
    return "\r\n".join(line.replace(",", ";") for line in lines)


class Terminal:
    """A tmux server of its own, whose one window runs the program in `folder` from a shell
    that records the terminal's settings before and after, and the program's status."""

    def __init__(self, folder, width=100, height=30):
        self.folder = folder
        self.socket = f"zprava-e2e-{os.getpid()}-{time.monotonic_ns()}"
        program = " ".join(shlex.quote(part) for part in command(BINARY))
        script = os.path.join(folder, "run.sh")
        with open(script, "w") as f:
            # Ctrl+C goes to the shell as well: caught, it lets the shell go on.
            f.write("trap : INT\n"
                    "stty -g > before\n"
                    f"sh -c 'echo $$ > pid; exec {program}'\n"
                    "echo $? > status.tmp; mv status.tmp status\n"
                    "stty -g > after\n"
                    "echo ended\n"
                    "exec sleep 600\n")
        env = base_environment(LC_ALL="C.UTF-8")
        self.tmux("-f", "/dev/null", "new-session", "-d", "-x", str(width), "-y", str(height),
                  "-c", folder, f"sh {shlex.quote(script)}", env=env)

    def tmux(self, *args, env=None):
        return subprocess.run(["tmux", "-L", self.socket, *args], check=True, capture_output=True,
                              text=True, env=env, timeout=20).stdout

    def screen(self):
        return self.tmux("capture-pane", "-p").split("\n")[:-1]

    def keys(self, *keys):
        self.tmux("send-keys", *keys)

    def wait_for(self, holds, what):
        deadline = time.monotonic() + (60 if wrapped() else 10)
        while True:
            screen = self.screen()
            if holds(screen):
                return screen
            if time.monotonic() > deadline:
                raise AssertionError(f"no {what} on the terminal:\n" + "\n".join(screen))
            time.sleep(0.05)

    def status(self):
        path = os.path.join(self.folder, "status")
        deadline = time.monotonic() + (60 if wrapped() else 10)
        while not os.path.exists(path):
            if time.monotonic() > deadline:
                raise AssertionError("the program did not end:\n" + "\n".join(self.screen()))
            time.sleep(0.05)
        self.wait_for(lambda screen: "ended" in screen, "end of the script")
        with open(path) as f:
            return int(f.read())

    def settings(self):
        def read(name):
            with open(os.path.join(self.folder, name)) as f:
                return f.read()
        return read("before"), read("after")

    def pid(self):
        path = os.path.join(self.folder, "pid")
        with open(path) as f:
            return int(f.read())

    def close(self):
        subprocess.run(["tmux", "-L", self.socket, "kill-server"], capture_output=True)


def page_of(screen):
    """The first screen's parts: the top two lines, the notice rows, the status line."""
    status = [line for line in screen if line.startswith("[ OK ]")]
    return screen[:2], screen[2:len(screen) - 1], status[-1] if status else ""


@unittest.skipUnless(shutil.which("tmux"), "tmux is not installed")
class Pager(unittest.TestCase):
    def open(self, lines, **size):
        folder = NoticeFolder(notice_file(lines))
        self.addCleanup(folder.__exit__)
        terminal = Terminal(folder.path, **size)
        self.addCleanup(terminal.close)
        return terminal

    def first_screen(self, terminal):
        return terminal.wait_for(lambda s: any(line.startswith("[ OK ]") for line in s),
                                 "first screen")

    def assert_top(self, screen):
        self.assertEqual(screen[0], f"[?] {CAPTION}")
        self.assertTrue(screen[1].startswith("Zpráva: "), screen[1])

    def assert_restored(self, terminal, status):
        self.assertEqual(terminal.status(), status)
        before, after = terminal.settings()
        self.assertEqual(before, after, "the terminal's settings were not put back")
        # The alternate screen is left: the pages are gone, the shell's output is there.
        screen = terminal.screen()
        self.assertFalse(any(line.startswith("[ OK ]") for line in screen), "\n".join(screen))

    def test_pages_under_the_header_and_ends_with_enter(self):
        lines = notice_lines(LINES)
        terminal = self.open(lines)
        screen = self.first_screen(terminal)
        self.assertEqual(len(screen), 30)
        self.assert_top(screen)
        _, rows, status = page_of(screen)
        self.assertEqual(rows[0], lines[0])
        self.assertEqual(rows[-1], lines[26])
        self.assertEqual(status, f"[ OK ]  1-27 / {LINES}")

        terminal.keys("NPage")
        screen = terminal.wait_for(lambda s: s[2] == lines[27], "next page")
        self.assert_top(screen)
        terminal.keys("Down")
        terminal.wait_for(lambda s: s[2] == lines[28], "next row")
        terminal.keys("Up", "Up")
        terminal.wait_for(lambda s: s[2] == lines[26], "row before")
        terminal.keys("Space")
        terminal.wait_for(lambda s: s[2] == lines[53], "page after Space")
        terminal.keys("PPage")
        terminal.wait_for(lambda s: s[2] == lines[26], "page before")

        terminal.keys("End")
        screen = terminal.wait_for(lambda s: s[-2] == lines[-1], "last line")
        self.assert_top(screen)
        self.assertEqual(page_of(screen)[2], f"[ OK ]  {LINES - 26}-{LINES} / {LINES}")
        terminal.keys("Home")
        terminal.wait_for(lambda s: s[2] == lines[0], "first line again")

        terminal.keys("Enter")
        self.assert_restored(terminal, 0)

    def test_escape_and_q_close_it_too(self):
        for key in ("Escape", "q"):
            with self.subTest(key):
                terminal = self.open(notice_lines(100))
                self.first_screen(terminal)
                terminal.keys(key)
                self.assert_restored(terminal, 0)

    def test_control_characters_never_reach_the_terminal(self):
        lines = notice_lines(100)
        lines[0] = "a\x1b[2J\x07b\x1b]0:title\x07c\td\te"
        terminal = self.open(lines)
        screen = self.first_screen(terminal)
        self.assert_top(screen)
        # Tabs as blanks to the stops every eight columns.
        self.assertEqual(screen[2], "a\ufffd[2J\ufffdb\ufffd]0:title\ufffdc      d       e")
        self.assertEqual(screen[3], lines[1])
        terminal.keys("Enter")
        self.assert_restored(terminal, 0)

    def test_rows_are_cut_anew_when_the_terminal_is_resized(self):
        long_line = " ".join(f"slovo{n}" for n in range(40))
        lines = [long_line] + notice_lines(200)
        terminal = self.open(lines)
        self.first_screen(terminal)
        terminal.tmux("resize-window", "-x", "60", "-y", "20")
        screen = terminal.wait_for(
            lambda s: len(s) == 20 and s[-1].startswith("[ OK ]") and s[2].startswith("slovo0"),
            "screen of the new size")
        self.assert_top(screen)
        self.assertTrue(all(len(line) <= 60 for line in screen))
        wrapped_rows = screen[2:screen.index(lines[1])]
        self.assertGreater(len(wrapped_rows), 1)
        self.assertEqual(" ".join(wrapped_rows).split(), long_line.split())
        terminal.keys("End")
        terminal.wait_for(lambda s: s[-2] == lines[-1], "last line at the new size")
        terminal.keys("Enter")
        self.assert_restored(terminal, 0)

    def test_signals_put_the_terminal_back(self):
        cases = [
            ("SIGTERM", lambda t: os.kill(t.pid(), signal.SIGTERM), 128 + signal.SIGTERM),
            ("SIGHUP", lambda t: os.kill(t.pid(), signal.SIGHUP), 128 + signal.SIGHUP),
            ("Ctrl+C", lambda t: t.keys("C-c"), 128 + signal.SIGINT),
        ]
        for what, send, status in cases:
            with self.subTest(what):
                terminal = self.open(notice_lines(LINES))
                self.first_screen(terminal)
                terminal.keys("NPage")
                terminal.wait_for(lambda s: s[-1].startswith("[ OK ]  28-"), "second page")
                send(terminal)
                self.assert_restored(terminal, status)

    def test_a_notice_that_fits_is_printed_line_for_line(self):
        # 30 lines: caption, header, notice, [ OK ] and the line the cursor ends on.
        for count, paged in ((5, False), (26, False), (27, True)):
            with self.subTest(count):
                lines = notice_lines(count)
                terminal = self.open(lines)
                screen = self.first_screen(terminal)
                self.assert_top(screen)
                if paged:
                    self.assertEqual(screen[-1], f"[ OK ]  1-{count} / {count}")
                else:
                    self.assertEqual(screen[2:count + 3], lines + ["[ OK ]"])
                terminal.keys("Enter")
                self.assertEqual(terminal.status(), 0)
                before, after = terminal.settings()
                self.assertEqual(before, after)


if __name__ == "__main__":
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
