# Sourced by the measurement scripts, so nothing of the user's is read or written: a throw-away
# home and XDG folders under $root, removed on exit; `isolated` runs a command with only those and
# a plain PATH in its environment; `require` stops when a program has not been built.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root"/{home,config,data,cache,run}
chmod 700 "$root/run"
isolated=(env -i PATH=/usr/bin:/bin HOME="$root/home" XDG_CONFIG_HOME="$root/config"
  XDG_DATA_HOME="$root/data" XDG_CACHE_HOME="$root/cache" XDG_RUNTIME_DIR="$root/run" LANG=C.UTF-8)

require() {
  for program in "$@"; do
    [[ -x $program ]] || { echo "missing $program: build it first (targets in bench/CMakeLists.txt)" >&2; exit 1; }
  done
}
