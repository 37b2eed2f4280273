#!/usr/bin/python3
"""zprava.exe under wine on a private Xvfb (1280x1024): for notices of each shape, the time
from launch to the dialog on screen, from Return to the dialog gone and to the process
ended, and the peak resident memory of the program's process (VmHWM of the wine process).

Usage: bench/wine_launch.py build/windows-mingw/app/zprava.exe
Without a window manager wine waits up to two seconds for one to confirm that a
window was withdrawn, so "gone" and "ended" include that wait, for the system's
message box as for the program's own dialog.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

from Xlib import display as xdisplay

LINE = "Řádek: Příliš žluťoučký kůň úpěl ďábelské ódy\r\n".encode("cp1250")
SHAPES = {
    "short notice": "Dobrý den; kolegové,\"porada, 9:00\"\r\n".encode(),
    "5,000 lines": b"".join(b"%d " % n + LINE for n in range(5000)),
    "one huge word, 1 MiB": b"x" * 2**20,
    "long paragraphs, 1 MiB": (("slovo " * 2000).strip() + "\r\n").encode() * 90,
    "combining marks, 0.7 MiB": (("a" + "\u0301" * 50 + " ") * 7000).encode(),
    "many lines, 1 MiB": LINE * (2**20 // len(LINE)),
    "many lines, 100 MiB": LINE * (100 * 2**20 // len(LINE)),
}


def peak_mib(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            return next(int(l.split()[1]) // 1024 for l in f if l.startswith("VmHWM"))
    except (OSError, StopIteration):
        return 0


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                               "1280x1024x24", "-nolisten", "tcp"], pass_fds=(write_end,),
                              stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as f:
        return server, ":" + f.readline().strip()


def measure(exe, folder, env):
    def xdotool(*args):
        return subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True)

    def window():
        found = xdotool("search", "--onlyvisible", "--name", "^Tibrel$").stdout.split()
        return found[0] if found else None

    start = time.monotonic()
    process = subprocess.Popen(["wine", exe], cwd=folder, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    peak, shown = 0, None
    while shown is None and time.monotonic() - start < 60:
        peak = max(peak, peak_mib(process.pid))
        shown = window()
        time.sleep(0.01)
    if shown is None:
        process.kill()
        process.wait()
        return f"no dialog within 60 s, peak {peak} MiB"
    on_screen = time.monotonic() - start
    time.sleep(2)  # on screen a while, as a reader has it
    peak = max(peak, peak_mib(process.pid))
    xdotool("windowfocus", "--sync", shown)
    pressed = time.monotonic()
    xdotool("key", "Return")
    while window():
        time.sleep(0.005)
    gone = time.monotonic() - pressed
    status = process.wait(timeout=60)
    ended = time.monotonic() - pressed
    return (f"on screen after {on_screen:.2f} s, gone {gone * 1000:.0f} ms and ended "
            f"{ended * 1000:.0f} ms (status {status}) after Return, peak {peak} MiB")


def main():
    exe = os.path.abspath(sys.argv[1])
    prefix = os.path.join(os.path.dirname(os.path.dirname(exe)), "wineprefix-bench")
    server, name = start_xvfb()
    keep = xdisplay.Display(name)  # one client stays connected, so the server never resets
    env = {**os.environ, "DISPLAY": name, "WINEPREFIX": prefix, "WINEDEBUG": "-all",
           "WINEDLLOVERRIDES": "mscoree,mshtml=", "LANG": "cs_CZ.UTF-8", "LC_ALL": "cs_CZ.UTF-8"}
    try:
        subprocess.run(["wine", "cmd", "/c", "exit", "0"], env=env, capture_output=True)
        for shape, notice in SHAPES.items():
            folder = tempfile.mkdtemp(prefix="zprava-bench-")
            try:
                with open(os.path.join(folder, "Zprava.ini"), "wb") as f:
                    f.write(notice)
                print(f"{shape} ({len(notice) / 2**20:.1f} MiB): {measure(exe, folder, env)}",
                      flush=True)
            finally:
                shutil.rmtree(folder)
    finally:
        subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
        keep.close()
        server.terminate()
        server.wait()


if __name__ == "__main__":
    main()
