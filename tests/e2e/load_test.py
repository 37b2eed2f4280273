"""Many users logging in at once on one terminal server: fifty dialogs on one X display, each
reading the same 10 MB notice from one folder, all on screen together, each ending with status 0
when dismissed, half by Return and half by the close control."""

import os
import subprocess
import sys
import threading
import time
import unittest

from desktop import VirtualDesktop
from harness import CAPTION, NoticeFolder, base_environment, mem_available, sanitized

BINARY = None
DIALOGS = 50


def ten_megabytes_of_lines():
    line = "Řádek {}: Příliš žluťoučký kůň úpěl ďábelské ódy; kolegové, porada v 9:00\r\n"
    lines, size, n = [], 0, 0
    while size < 10_000_000:
        n += 1
        lines.append(line.format(n))
        size += len(lines[-1].encode())
    return "".join(lines).encode()


def peak_resident_set(pid):
    """The process's peak resident set since it started the program (VmHWM), in bytes. Not
    ru_maxrss from wait4: that also counts this script's own, from before the exec."""
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) * 1024
    raise AssertionError(f"no VmHWM for process {pid}")


class ManyDialogsAtOnce(unittest.TestCase):
    def setUp(self):
        if sanitized():
            self.skipTest("fifty sanitized processes would measure the sanitizer, not the program")
        self.desktop = VirtualDesktop()
        self.addCleanup(self.desktop.close)

    def visible_dialogs(self):
        found = self.desktop.xdotool("search", "--onlyvisible", "--name", f"^{CAPTION}$")
        return [int(w) for w in found.stdout.split()]

    def test_fifty_dialogs_on_one_display(self):
        with NoticeFolder(ten_megabytes_of_lines()) as folder:
            env = base_environment(LC_ALL="C", **self.desktop.environment())
            available_before = mem_available()
            start = time.monotonic()
            processes = [subprocess.Popen([BINARY], cwd=folder.path, env=env,
                                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
                         for _ in range(DIALOGS)]
            for process in processes:
                self.addCleanup(process.kill)
            ended = {}  # each process's status, as it ends

            def reap(process):
                ended[process.pid] = process.wait()

            reapers = [threading.Thread(target=reap, args=(p,)) for p in processes]
            for reaper in reapers:
                reaper.start()

            deadline = time.monotonic() + 180
            dialogs = []
            while len(dialogs) < DIALOGS and time.monotonic() < deadline and len(ended) == 0:
                time.sleep(0.2)
                dialogs = self.visible_dialogs()
            all_shown = time.monotonic() - start
            used_while_shown = available_before - mem_available()
            self.assertEqual(ended, {}, "a program ended before it was dismissed")
            self.assertEqual(len(dialogs), DIALOGS)
            peaks = sorted(peak_resident_set(p.pid) for p in processes)

            for n, window in enumerate(dialogs):
                if n % 2 == 0:
                    self.desktop.press(window, "Return")
                else:
                    self.desktop.close_window(window)
            for reaper in reapers:
                reaper.join(timeout=max(1, deadline - time.monotonic()))
            all_ended = time.monotonic() - start
            self.assertEqual(sorted(ended.values()), [0] * DIALOGS)
            mib = 1 << 20
            print(f"{DIALOGS} dialogs of a 10 MB notice: all on screen after {all_shown:.1f} s, "
                  f"all ended after {all_ended:.1f} s; peak RSS per process while shown {peaks[0] / mib:.0f}-"
                  f"{peaks[-1] / mib:.0f} MiB (median {peaks[len(peaks) // 2] / mib:.0f}); "
                  f"MemAvailable down by {used_while_shown / mib:.0f} MiB while all were shown",
                  file=sys.stderr)


if __name__ == "__main__":
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
