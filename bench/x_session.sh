# Sourced by the launch benchmarks: reruns the calling script in a D-Bus
# session, then starts a private Xvfb of the screen size in BENCH_SCREEN
# (WIDTHxHEIGHTxDEPTH), kept warm by one client connected throughout, and
# exports its DISPLAY. Leaves a temporary folder in $work, removed at exit
# with the server.
if [ -z "${ZPRAVA_BENCH_SESSION:-}" ]; then
  export ZPRAVA_BENCH_SESSION=1
  exec dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb -displayfd 9 -screen 0 "${BENCH_SCREEN:-1920x1080x24}" -nolisten tcp 9>"$work/display" \
  2>/dev/null &
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")"
xprop -root -spy >/dev/null 2>&1 &
