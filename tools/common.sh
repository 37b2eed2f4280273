# Shared by the scripts in tools/ (sourced from the source root, not run).

logs=build/logs

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# Runs a command or shell function with its output appended to a log file and
# shows that log in full only if it fails. The command runs under set -e in a
# subshell, so a function stops at its first failing step. Call it as a plain
# statement: within `if` or `||` bash would ignore set -e inside it.
quietly() {
  local log=$1 status
  shift
  mkdir -p "$(dirname "$log")"
  set +e
  (
    set -e
    "$@"
  ) >>"$log" 2>&1
  status=$?
  set -e
  if [ "$status" -ne 0 ]; then
    echo "failed with status $status: $*; its output ($log):" >&2
    cat "$log" >&2
  fi
  return "$status"
}

# Seconds as "42s" or "3m07s".
duration() {
  if [ "$1" -ge 60 ]; then printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); else printf '%ds' "$1"; fi
}

# The sources are all but build output, releases and version control.
source_excludes=(--exclude=./build --exclude=./dist --exclude=./.git)

# Copies the sources into the folder $1: a build there starts from what a
# clean checkout has, and needs no git.
copy_sources() {
  mkdir -p "$1"
  tar "${source_excludes[@]}" -cf - . | tar -xf - -C "$1"
}

# Runs an installed zprava ($1) on the terminal in a folder holding the
# sample notice and checks that it printed the dialog; $2 names the install.
check_installed_program() {
  local program=$1 what=$2 trial screen
  trial=$(mktemp -d)
  cp example/Zprava.ini "$trial/"
  screen=$(cd "$trial" && env -u DISPLAY -u WAYLAND_DISPLAY LC_ALL=C "$program" </dev/null)
  rm -rf "$trial"
  case "$screen" in
    "[?] Tibrel"*"[ OK ]") echo "the program installed from $what showed the sample notice" ;;
    *) echo "the program installed from $what printed: $screen"; return 1 ;;
  esac
}
