"""How often Orca presents an opening of the long notice whole: one Orca left running, zprava
and GTK's own message dialog (tests/e2e/reference_text_view.py) opened in turn, each counted
when Orca said its alert, its header and the notice's first line within 5 s.

    /usr/bin/python3 bench/screen_reader_openings.py build/ci/app/zprava [rounds] [busy loops]

Each round opens both; the busy loops (shell `while :`) load the cores meanwhile."""

import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

from desktop import ensure_dbus_session  # noqa: E402
from harness import NoticeFolder, base_environment, header_dates  # noqa: E402
from screen_reader import SpokenDesktop  # noqa: E402
import screen_reader_test as cases  # noqa: E402

LOCALE = "cs_CZ.UTF-8"


def presented(speaker, argv, cwd, expected):
    process, mark = speaker.launch(argv, cwd, base_environment(LANG=LOCALE))
    started = time.monotonic()
    try:
        while time.monotonic() - started < 5:
            said = " ".join(speaker.utterances(mark))
            if all(part in said for part in expected):
                return True, time.monotonic() - started, speaker.utterances(mark)
            time.sleep(0.05)
        return False, 5.0, speaker.utterances(mark)
    finally:
        process.kill()
        process.wait()
        time.sleep(1.0)


def main():
    binary = os.path.abspath(sys.argv[1])
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    loops = int(sys.argv[3]) if len(sys.argv) > 3 else os.cpu_count() or 2
    header = "Zpráva: " + header_dates(LOCALE)[0]
    text = cases.lines(1, 6000)
    expected = ["alert Tibrel", header, "Řádek 1, text číslo 1"]
    with tempfile.NamedTemporaryFile("w", encoding="utf-8", suffix=".txt") as body, \
            NoticeFolder(cases.notice_of(text)) as folder:
        body.write("\n".join(text))
        body.flush()
        contenders = {"zprava": ([binary], folder.path),
                      "reference": (["/usr/bin/python3", cases.REFERENCE, header, body.name],
                                    tempfile.gettempdir())}
        speaker = SpokenDesktop()
        busy = [subprocess.Popen(["sh", "-c", "while :; do :; done"]) for _ in range(loops)]
        counts = {name: 0 for name in contenders}
        try:
            for n in range(rounds):
                order = list(contenders) if n % 2 == 0 else list(reversed(contenders))
                for name in order:
                    whole, took, said = presented(speaker, *contenders[name], expected)
                    counts[name] += whole
                    print(f"{n:3} {name:9} {'whole' if whole else 'MISSED'} {took:.2f} s {said[:4]}",
                          flush=True)
        finally:
            for loop in busy:
                loop.kill()
                loop.wait()
            speaker.close()
    print(", ".join(f"{name} {count}/{rounds}" for name, count in counts.items()))


if __name__ == "__main__":
    ensure_dbus_session()
    main()
