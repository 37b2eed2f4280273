#!/usr/bin/env bash
# Launch-to-dialog benchmark: time from exec to the dialog window's MapNotify
# and peak RSS, on a private warm Xvfb with a D-Bus session.
#   bench/launch.sh [RUNS]        (default 10 measured runs after 2 warm-ups)
# Expects the "bench" preset built (bench/run does both). Then every
# contender is launched once a round for BENCH_ROUNDS rounds (default 20): the
# reference, zprava, yad where installed, and the program as built from each
# earlier commit named in BENCH_COMMITS (built once into build/commit-HASH).
# BENCH_BUILD names another build folder, BENCH_WARMUP the warm-up runs,
# BENCH_LARGE_BYTES the size of the large notice (100 MB), BENCH_LINGER_MS how
# long the large notice stays on screen for its peak RSS on screen (10 s).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
warmup=${BENCH_WARMUP:-2}
linger_ms=${BENCH_LINGER_MS:-10000}
rounds=${BENCH_ROUNDS:-20}
build_dir=$(cd "${BENCH_BUILD:-build/bench}" && pwd)

# The program as built from each earlier commit, by its short hash.
declare -A earlier=()
for commit in ${BENCH_COMMITS:-}; do
  commit=$(git rev-parse --short "$commit^{commit}")
  source_dir=$PWD/build/commit-$commit
  if [ ! -x "$source_dir/build/bench/app/zprava" ]; then
    echo "building $commit into $source_dir"
    rm -rf "$source_dir" && mkdir -p "$source_dir"
    git archive "$commit" | tar -x -C "$source_dir"
    (cd "$source_dir" && cmake --preset bench >/dev/null && cmake --build --preset bench >/dev/null)
  fi
  earlier[$commit]=$source_dir/build/bench/app/zprava
done

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
# The machine drifts between the blocks of runs above; launching every
# contender once a round, in turn, gives ratios that the drift hits on all
# sides alike. The order rotates from round to round, so it favours none.
contenders=(reference zprava "${!earlier[@]}")
command -v yad >/dev/null && contenders+=(yad)
launch_once() {  # contender
  case $1 in
  reference) set -- "$build_dir/bench/reference_dialog" "$prompt" ;;
  zprava) set -- "$build_dir/app/zprava" ;;
  yad) set -- yad --title=Tibrel --image=dialog-question --text="$prompt" ;;
  *) set -- "${earlier[$1]}" ;;
  esac
  "$build_dir/bench/launch_to_map" 1 0 "$work/short" -- "$@" | tail -n1
}
for round in $(seq "$rounds"); do
  count=${#contenders[@]}
  for i in $(seq 0 $((count - 1))); do
    who=${contenders[$(((i + round) % count))]}
    echo "$round $who $(launch_once "$who")" >>"$work/rounds"
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
by_round = {}
for line in open(sys.argv[1].replace("results", "rounds")):
    round_number, who, _, median, *_ = line.split()
    by_round.setdefault(round_number, {})[who] = float(median.split("=")[1])
print(f"\nlaunched in turn, {len(by_round)} rounds: median of each round's ratio to the reference")
for who in sorted(by_round["1"], key=lambda w: (w != "reference", w != "zprava", w == "yad", w)):
    ratios = sorted(r[who] / r["reference"] for r in by_round.values())
    launch = sorted(r[who] for r in by_round.values())
    name = who if who in ("reference", "zprava", "yad") else f"zprava at {who}"
    print(f"  {name:18} {ratios[len(ratios) // 2]:.3f}x  (median {launch[len(launch) // 2]:.1f} ms,"
          f" ratios {ratios[0]:.2f}-{ratios[-1]:.2f})")
short = rows["zprava-short"]["median_ms"]
print(f"\n5,000 lines / short notice: {rows['zprava-5000-lines']['median_ms'] / short:.2f}x")
print(f"large notice ({size_kb / 1024:.1f} MiB): peak RSS {rows['zprava-large']['peak_rss_kb'] / size_kb:.2f}x the file size"
      f" up to mapped, {rows['zprava-large-shown']['peak_rss_kb'] / size_kb:.2f}x"
      f" over {int(sys.argv[3]) / 1000:g} s on screen")
PY
