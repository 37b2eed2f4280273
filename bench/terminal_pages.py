"""The paged terminal dialog: launch to the first screen, and End to the last, per notice.

  terminal_pages.py PROGRAM [RUNS] [MEGABYTES]

Writes notices of MEGABYTES (100) as UTF-8 to a temporary folder: short
lines, and one paragraph of short words. Runs PROGRAM on a 100x30
pseudo-terminal (TERM=xterm-256color, C.UTF-8) RUNS times (5) for each,
timing from the start to the first screen's status line, then End to the
last page's, then Enter to the exit, whose status must be 0. Prints a
Markdown table of the medians; ends with status 1 when a run failed.
"""

import fcntl
import os
import pty
import select
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import termios
import time

WORDS = ("dobry okno voda strom mesto pole lesy mosty domy noci roky hlasy svet cesta "
         "kniha zimni jaro leto stul lampa papir pero hrnek vlaky silnice pocasi").split()
LINE = "Řádek {} Příliš žluťoučký kůň úpěl ďábelské ódy\n"
TIMEOUT_S = 60


def short_lines(size):
    parts, total, n = [], 0, 0
    while total < size:
        n += 1
        line = LINE.format(n).encode()
        parts.append(line)
        total += len(line)
    return b"".join(parts)


def paragraph(size):
    chunk = (" ".join(WORDS) + " ").encode()
    return (chunk * (size // len(chunk) + 1))[:size]


def read_until(fd, marker, seen):
    deadline = time.monotonic() + TIMEOUT_S
    while marker not in seen:
        left = deadline - time.monotonic()
        ready, _, _ = select.select([fd], [], [], max(left, 0))
        if not ready:
            raise TimeoutError(marker)
        seen += os.read(fd, 1 << 16)
    return seen


def run_once(program, folder):
    controller, device = pty.openpty()
    fcntl.ioctl(device, termios.TIOCSWINSZ, struct.pack("HHHH", 30, 100, 0, 0))
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "TERM": "xterm-256color",
           "LC_ALL": "C.UTF-8"}
    start = time.monotonic()
    process = subprocess.Popen([program], cwd=folder, stdin=device, stdout=device, env=env)
    os.close(device)
    try:
        seen = read_until(controller, b"[ OK ]  1-", b"")
        first = time.monotonic() - start
        seen = b""
        pressed = time.monotonic()
        os.write(controller, b"\x1b[F")  # End
        seen = read_until(controller, b"[ OK ]", seen)
        last = time.monotonic() - pressed
        pressed = time.monotonic()
        os.write(controller, b"\r")
        status = process.wait(timeout=TIMEOUT_S)
        closed = time.monotonic() - pressed
        return first, last, closed, status
    finally:
        process.kill()
        process.wait()
        os.close(controller)


def main():
    program = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    size = int(float(sys.argv[3]) * 1_000_000) if len(sys.argv) > 3 else 100_000_000
    failed = False
    print("| notice | size | start to first screen, ms | End to last page, ms | Enter to exit, ms |")
    print("|---|---|---|---|---|")
    for name, make in (("short lines", short_lines), ("one paragraph of short words", paragraph)):
        folder = tempfile.mkdtemp(prefix="zprava-pages-")
        try:
            with open(os.path.join(folder, "Zprava.ini"), "wb") as f:
                f.write(make(size))
            times = []
            for _ in range(runs):
                try:
                    first, last, closed, status = run_once(program, folder)
                except TimeoutError as e:
                    print(f"{name}: nothing seen of {e} in {TIMEOUT_S} s", file=sys.stderr)
                    failed = True
                    break
                failed |= status != 0
                times.append((first, last, closed))
            if times:
                medians = [statistics.median(t[i] for t in times) * 1000 for i in range(3)]
                print(f"| {name} | {size / 1e6:g} MB | {medians[0]:,.0f} | {medians[1]:,.0f} | "
                      f"{medians[2]:,.0f} |")
        finally:
            shutil.rmtree(folder, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
