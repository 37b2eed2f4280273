"""Notice shapes: launch to the mapped dialog and Return to exit, per shape.

Run by bench/shapes.sh, which provides the X server and the D-Bus session:
  shapes.py BUILD_DIR WORK_DIR RUNS [PROGRAM]
Each shape is written as UTF-8 to WORK_DIR, measured RUNS times with Return
pressed at once after the map and RUNS times with Return pressed later, then
removed. Prints a Markdown table; ends with status 1 when a notice was not
shown or did not end in time, or the program's exit status was not 0.

BENCH_SHAPES (a regular expression over the names) picks shapes,
BENCH_SHAPES_SCALE scales every size (0.001 for a smoke run), BENCH_TIMEOUT_S
caps each wait (60) and BENCH_RETURN_LATER_MS sets the later Return (1000).

The generated text holds no commas, semicolons or quotes, which the notice
format reads as separators and quoting: every line end starts a line.
"""

import os
import random
import re
import shutil
import subprocess
import sys

ALPHABET = "abcdefghijklmnopqrstuvwxyz"
WORDS = ("dobry okno voda strom mesto pole lesy mosty domy noci roky hlasy svet cesta "
         "kniha zimni jaro leto stul lampa papir pero hrnek vlaky silnice pocasi").split()
LINE = "Řádek {} Příliš žluťoučký kůň úpěl ďábelské ódy\n"
HEBREW = "שלום עולם ספר מים אור בית ילד יום לילה דרך עיר שמש ירח אדמה".split()
ARABIC = "مرحبا عالم كتاب ماء نور بيت ولد يوم ليلة طريق مدينة شمس قمر أرض".split()
EMOJI = [
    "😀", "😂", "🥰", "🤔", "🎉", "🚀", "🌍", "🍕", "⚽", "❤️",
    "👍🏻", "👋🏽", "🙌🏿", "🧑🏼‍💻", "👩🏾‍🔬",
    "👨‍👩‍👧‍👦", "👩‍❤️‍👨", "🏳️‍🌈", "🧑‍🤝‍🧑", "🇨🇿",
]


def word(letters):
    return (ALPHABET * (letters // len(ALPHABET) + 1))[:letters]


def short_words(count, rng):
    return " ".join(rng.choice(WORDS) for _ in range(count))


def repeated_to(block, size):
    """block repeated to at least size bytes of UTF-8 (blocks end at a break)."""
    return block * max(1, -(-size // len(block.encode())))


def lines(count):
    return "".join(LINE.format(i) for i in range(1, count + 1))


def wide_lines(count, width, rng):
    text = []
    for _ in range(count):
        line = short_words(width // 3, rng)[:width].rstrip()
        text.append(line + "\n")
    return "".join(text)


def cjk(characters, rng):
    out = []
    for i in range(characters):
        out.append("。" if i % 31 == 30 else chr(rng.randrange(0x4E00, 0x9FA6)))
    return "".join(out)


def emoji(size, rng):
    out, total = [], 0
    while total < size:
        line = " ".join("".join(rng.choice(EMOJI) for _ in range(5)) for _ in range(8)) + "\n"
        out.append(line)
        total += len(line.encode())
    return "".join(out)


def right_to_left(size, rng):
    out, total, paragraph = [], 0, 0
    while total < size:
        words = HEBREW if paragraph % 2 == 0 else ARABIC
        text = " ".join(rng.choice(words) for _ in range(300))
        text += f" {2026 + paragraph}.\n"
        out.append(text)
        total += len(text.encode())
        paragraph += 1
    return "".join(out)


def long_paragraph(size, rng):
    return repeated_to(short_words(min(100_000, size // 6 + 1), rng) + " ", size)


def many_lines(size):
    return repeated_to(lines(min(10_000, size // 60 + 1)), size)


def shapes(scale):
    """(name, description, text maker) for every shape, sizes scaled."""
    def n(count):
        return max(1, int(count * scale))

    def r():
        return random.Random(11)

    return [
        ("word-50k", "one word of 50,000 letters", lambda: word(n(50_000))),
        ("word-200k", "one word of 200,000 letters", lambda: word(n(200_000))),
        ("combining-100k", "100,000 é as e + U+0301", lambda: "e\u0301" * n(100_000)),
        ("paragraph-150k-words", "one paragraph of 150,000 short words",
         lambda: short_words(n(150_000), r())),
        ("word-900k", "one word of 900,000 letters", lambda: word(n(900_000))),
        ("word-3M", "one word of 3,000,000 letters", lambda: word(n(3_000_000))),
        ("lines-5000", "5,000 short lines", lambda: lines(n(5_000))),
        ("lines-60000", "60,000 short lines", lambda: lines(n(60_000))),
        ("wide-lines", "2,000 lines of 1,000 characters with spaces",
         lambda: wide_lines(n(2_000), 1_000, r())),
        ("cjk", "CJK without spaces, one paragraph", lambda: cjk(n(100_000), r())),
        ("emoji", "emoji with ZWJ sequences and skin tones", lambda: emoji(n(100_000), r())),
        ("rtl", "Hebrew and Arabic paragraphs", lambda: right_to_left(n(300_000), r())),
        ("paragraph-10MB", "10 MB, one paragraph of short words",
         lambda: long_paragraph(n(10_000_000), r())),
        ("lines-10MB", "10 MB of short lines", lambda: many_lines(n(10_000_000))),
        ("paragraph-100MB", "100 MB, one paragraph of short words",
         lambda: long_paragraph(n(100_000_000), r())),
        ("lines-100MB", "100 MB of short lines", lambda: many_lines(n(100_000_000))),
    ]


def measure(launcher, program, folder, runs, return_after_ms, timeout_s):
    """Fields of launch_to_map's summary line, numbers as floats."""
    env = dict(os.environ, LAUNCH_RETURN_AFTER_MS=str(return_after_ms),
               LAUNCH_TIMEOUT_MS=str(timeout_s * 1000))
    done = subprocess.run([launcher, str(runs), "0", folder, "--", program],
                          env=env, stdout=subprocess.PIPE, text=True)
    sys.stderr.write(done.stdout)
    summary = done.stdout.strip().splitlines()[-1].split()
    result = {k: float(v) for k, v in (field.split("=") for field in summary[1:])}
    if "exit_timeouts" not in result:
        sys.exit(f"{launcher} cannot press Return: build the benchmarks of this tree")
    return result


def size_text(size):
    for unit, step in (("MB", 1_000_000), ("KB", 1_000)):
        if size >= step:
            return f"{size / step:.3g} {unit}"
    return f"{size} B"


def exit_text(result, timeout_s):
    if result is None or result["unmapped"]:
        return "—"
    if result["exit_timeouts"]:
        return f"no exit in {timeout_s} s"
    text = f"{result['exit_median_ms']:.0f}"
    if result["bad_exits"]:
        text += f" ({result['bad_exits']:.0f} bad exit status)"
    return text


def row(description, size, at_once, later, timeout_s):
    if at_once["unmapped"]:
        shown = f"not in {timeout_s} s"
    else:
        shown = f"{at_once['median_ms']:.0f}"
    peak = max(r["peak_rss_kb"] for r in (at_once, later) if r) * 1024
    return (f"| {description} | {size_text(size)} | {shown} | {exit_text(at_once, timeout_s)} | "
            f"{exit_text(later, timeout_s)} | {peak / 2**20:.0f} | {peak / size:.1f}x |")


def main():
    build, work, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
    scale = float(os.environ.get("BENCH_SHAPES_SCALE", "1"))
    pick = re.compile(os.environ.get("BENCH_SHAPES", ""))
    timeout_s = int(os.environ.get("BENCH_TIMEOUT_S", "60"))
    later_ms = int(os.environ.get("BENCH_RETURN_LATER_MS", "1000"))
    launcher = os.path.join(build, "bench", "launch_to_map")
    program = sys.argv[4] if len(sys.argv) > 4 else os.path.join(build, "app", "zprava")
    print(f"| notice | size | ms to map | ms Return→exit, at once | "
          f"ms Return→exit, after {later_ms / 1000:g} s | peak RSS MiB | RSS/file |")
    print("|---|---|---|---|---|---|---|")
    failed = False
    for name, description, make in shapes(scale):
        if not pick.search(name):
            continue
        folder = os.path.join(work, name)
        os.makedirs(folder)
        path = os.path.join(folder, "Zprava.ini")
        with open(path, "w", encoding="utf-8") as f:
            f.write(make())
        size = os.path.getsize(path)
        sys.stderr.write(f"== {name}: {size} bytes\n")
        at_once = measure(launcher, program, folder, runs, 0, timeout_s)
        later = None
        if not at_once["unmapped"] and not at_once["exit_timeouts"]:
            later = measure(launcher, program, folder, runs, later_ms, timeout_s)
        print(row(description, size, at_once, later, timeout_s), flush=True)
        failed |= later is None or any(
            r["unmapped"] or r["exit_timeouts"] or r["bad_exits"] for r in (at_once, later))
        shutil.rmtree(folder)
    if failed:
        sys.exit("some notices were not shown, did not end in time or ended badly")


if __name__ == "__main__":
    main()
