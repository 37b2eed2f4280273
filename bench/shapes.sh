#!/usr/bin/env bash
# Notice shapes benchmark: launch to the mapped dialog and Return to exit for
# notices of every shape (huge words, combining marks, long paragraphs, many or
# wide lines, CJK, emoji, right-to-left text, 10 and 100 MB), on a private
# Xvfb of 1280x1024 with a D-Bus session, under cs_CZ.UTF-8 where available.
#   bench/shapes.sh [RUNS]      (default 3 runs of each shape and Return moment)
# Expects the "bench" preset built (bench/run does both); BENCH_BUILD names
# another build folder with the program and the benchmarks, BENCH_PROGRAM
# another program to measure with this tree's benchmarks, for example
#   BENCH_PROGRAM=/path/to/other/build/app/zprava bench/shapes.sh
# bench/shapes.py tells the other settings (BENCH_SHAPES picks shapes,
# BENCH_SHAPES_SCALE, BENCH_TIMEOUT_S, BENCH_RETURN_LATER_MS).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
build_dir=$(cd "${BENCH_BUILD:-build/bench}" && pwd)
program=$(realpath "${BENCH_PROGRAM:-$build_dir/app/zprava}")

# A private X server and D-Bus session; $work is a temporary folder.
BENCH_SCREEN=${BENCH_SCREEN:-1280x1024x24}
source bench/x_session.sh

if locale -a 2>/dev/null | grep -qi '^cs_CZ\.utf8$'; then export LC_ALL=cs_CZ.UTF-8; fi

# One launch first, so that the first shape does not pay for cold caches.
mkdir "$work/short"
cp example/Zprava.ini "$work/short/"
"$build_dir/bench/launch_to_map" 0 1 "$work/short" -- "$program" >/dev/null

python3 bench/shapes.py "$build_dir" "$work" "$runs" "$program"
