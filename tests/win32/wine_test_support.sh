# Sourced by the Wine tests: how they skip, the windows build they run, and
# a fresh Wine prefix.

skip_exit=77

# Exits 77 (skipped) with the reason, or fails instead when
# ZENTORO_REQUIRE_WINDOWS_TESTS=1 (as in CI).
skip() {
  if [[ ${ZENTORO_REQUIRE_WINDOWS_TESTS:-0} == 1 ]]; then
    echo "FAILED: $1, and ZENTORO_REQUIRE_WINDOWS_TESTS=1"
    exit 1
  fi
  echo "SKIPPED: $1 (.ci/run installs it and builds the windows preset)"
  # Where ctest collects the reasons of skipped tests, when it asks for them.
  if [[ -n ${ZENTORO_SKIP_REASON_FILE:-} ]]; then
    echo "$1" >"$ZENTORO_SKIP_REASON_FILE"
  fi
  exit "$skip_exit"
}

require_tools() {
  local tool
  for tool; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
  done
}

# Brings the windows preset's build up to date with the sources before any
# of its programs runs: ninja rebuilds what changed, and a build that fails
# fails the test rather than leaving an older program in place.
#   update_windows_build BUILD_DIR TARGET...
update_windows_build() {
  local dir=$1
  shift
  [[ -f $dir/CMakeCache.txt ]] || skip "no Windows build in $dir (cmake --workflow --preset windows)"
  local log
  log=$(mktemp)
  if ! "${CMAKE_COMMAND:-cmake}" --build "$dir" --target "$@" >"$log" 2>&1; then
    echo "FAILED: the Windows build in $dir could not be brought up to date with the sources:"
    tail -n 40 "$log"
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
}

# A Wine prefix of its own in $1, made without a window in sight.
start_wine_prefix() {
  export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  wine wineboot --init >/dev/null 2>&1
}

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
