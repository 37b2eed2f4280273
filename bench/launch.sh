#!/usr/bin/env bash
# Launch-to-dialog benchmark: time from exec to the dialog window's MapNotify
# and peak RSS, on a private warm Xvfb with a D-Bus session.
#   bench/launch.sh [RUNS]        (default 10 measured runs after 2 warm-ups)
# Expects the "bench" preset built (bench/run does both). BENCH_BUILD names
# another build folder, BENCH_WARMUP the warm-up runs, BENCH_LARGE_BYTES the
# size of the large notice (100 MB), BENCH_LINGER_MS how long the large notice
# stays on screen for its peak RSS on screen (10 s).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
warmup=${BENCH_WARMUP:-2}
linger_ms=${BENCH_LINGER_MS:-10000}
build_dir=$(cd "${BENCH_BUILD:-build/bench}" && pwd)

# A private X server and D-Bus session; $work is a temporary folder.
source bench/x_session.sh

mkdir -p "$work/short" "$work/lines5000" "$work/mb100"
cp example/Zprava.ini "$work/short/"
python3 - "$work" "${BENCH_LARGE_BYTES:-100000000}" <<'PY'
import sys
work, large = sys.argv[1], int(sys.argv[2])
line = "Řádek {}; Příliš žluťoučký kůň úpěl ďábelské ódy, večer v sedm.\r\n"
with open(f"{work}/lines5000/Zprava.ini", "w", encoding="utf-8") as f:
    f.write("".join(line.format(i) for i in range(1, 5001)))
with open(f"{work}/mb100/Zprava.ini", "w", encoding="utf-8") as f:
    i, size = 0, 0
    while size < large:
        text = line.format(i)
        f.write(text)
        size += len(text.encode())
        i += 1
PY

measure() {  # name folder command...
  local name=$1 folder=$2
  shift 2
  local summary
  summary=$("$build_dir/bench/launch_to_map" "$runs" "$warmup" "$folder" -- "$@" | tail -n1)
  echo "$name $summary" | tee -a "$work/results"
}

# The reference shows the very prompt zprava shows for the short notice.
prompt=$(cd "$work/short" && env -u DISPLAY -u WAYLAND_DISPLAY "$build_dir/app/zprava" </dev/null |
  sed '1d;$d')
measure reference "$work/short" "$build_dir/bench/reference_dialog" "$prompt"
measure zprava-short "$work/short" "$build_dir/app/zprava"
measure zprava-5000-lines "$work/lines5000" "$build_dir/app/zprava"
# The machine drifts between the blocks of runs above; launching the two in
# turn gives a ratio that the drift hits on both sides alike.
# Which goes first changes from pair to pair, so the order favours neither.
for pair in $(seq "$runs"); do
  order="reference zprava"
  [ $((pair % 2)) -eq 0 ] && order="zprava reference"
  for who in $order; do
    if [ "$who" = reference ]; then set -- "$build_dir/bench/reference_dialog" "$prompt"
    else set -- "$build_dir/app/zprava"; fi
    "$build_dir/bench/launch_to_map" 1 0 "$work/short" -- "$@" | tail -n1 |
      sed "s/^summary/$who/" >>"$work/pairs"
  done
done
measure zprava-large "$work/mb100" "$build_dir/app/zprava"
# Once more, left on screen a while: what the dialog holds while it is read.
summary=$(LAUNCH_LINGER_MS=$linger_ms "$build_dir/bench/launch_to_map" 1 0 "$work/mb100" -- \
  "$build_dir/app/zprava" | tail -n1)
echo "zprava-large-shown $summary" | tee -a "$work/results"
if command -v zenity >/dev/null; then
  measure zenity "$work/short" zenity --question --title=Tibrel --no-markup --text="$prompt"
fi
if command -v yad >/dev/null; then
  measure yad "$work/short" yad --title=Tibrel --image=dialog-question --text="$prompt"
fi

echo
python3 - "$work/results" "$work/mb100/Zprava.ini" "$linger_ms" <<'PY'
import os, sys
rows = {}
for line in open(sys.argv[1]):
    name, *fields = line.split()
    fields = [f for f in fields if "=" in f]
    rows[name] = {k: float(v) for k, v in (f.split("=") for f in fields)}
reference = rows["reference"]["median_ms"]
size_kb = os.path.getsize(sys.argv[2]) / 1024
print(f"{'dialog':20} {'median ms':>10} {'min':>8} {'max':>8} {'x reference':>12} {'peak RSS MiB':>13}")
for name, r in rows.items():
    print(f"{name:20} {r['median_ms']:10.1f} {r['min_ms']:8.1f} {r['max_ms']:8.1f} "
          f"{r['median_ms'] / reference:12.2f} {r['peak_rss_kb'] / 1024:13.1f}")
launches = [line.split() for line in open(sys.argv[1].replace("results", "pairs"))]
ratios = []
for first, second in zip(launches[::2], launches[1::2]):
    ms = {fields[0]: float(fields[1].split("=")[1]) for fields in (first, second)}
    ratios.append(ms["zprava"] / ms["reference"])
ratios.sort()
print(f"\nsample notice / reference, launched in turn: median {ratios[len(ratios) // 2]:.2f}x"
      f" over {len(ratios)} pairs")
short = rows["zprava-short"]["median_ms"]
print(f"\n5,000 lines / short notice: {rows['zprava-5000-lines']['median_ms'] / short:.2f}x")
print(f"large notice ({size_kb / 1024:.1f} MiB): peak RSS {rows['zprava-large']['peak_rss_kb'] / size_kb:.2f}x the file size"
      f" up to mapped, {rows['zprava-large-shown']['peak_rss_kb'] / size_kb:.2f}x"
      f" over {int(sys.argv[3]) / 1000:g} s on screen")
PY
