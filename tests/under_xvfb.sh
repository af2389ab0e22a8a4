#!/usr/bin/env bash
# Runs a test program on a virtual X display of its own. The server picks
# its display number itself, the first whose socket it can bind, so runners
# started at the same moment, of one test run or of two, never share one;
# a number chosen beforehand from the lock files (xvfb-run -a) can be
# chosen twice. The leak checker now and then crashes in its own
# stop-the-world, after every test passed and with no leak found; such a
# run is run once more, on a fresh display, and says so. A leak report, a
# failed test or the same crash twice still fails.
set -u
scratch=$(mktemp -d)
log=$scratch/log
: >"$log"
server=
trap 'stop_display; rm -rf "$scratch"' EXIT

stop_display() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
    server=
  fi
}

# Starts a server and sets display and auth for the program.
start_display() {
  auth=$scratch/Xauthority
  local cookie number
  cookie=$(mcookie)
  rm -f "$auth" "$scratch/number"
  touch "$auth"
  # The server takes every cookie in its file whatever display it is filed
  # under; the program looks up its display's, which is known only later.
  xauth -f "$auth" add :0 . "$cookie"
  mkfifo "$scratch/number"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -auth "$auth" \
    3>"$scratch/number" >"$scratch/server.log" 2>&1 &
  server=$!
  # Written once the server takes connections; nothing if it ended first.
  read -r number <"$scratch/number"
  if [ -z "$number" ]; then
    echo "under_xvfb.sh: the virtual display did not start:"
    cat "$scratch/server.log"
    stop_display
    return 1
  fi
  xauth -f "$auth" add ":$number" . "$cookie"
  display=:$number
}

run() {
  start_display || return 1
  DISPLAY=$display XAUTHORITY=$auth "$@" 2>&1 | tee "$log"
  local status=${PIPESTATUS[0]}
  stop_display
  return "$status"
}

checker_crashed_after_passing() {
  grep -q '^\[  PASSED  \]' "$log" &&
    ! grep -q '^\[  FAILED  \]' "$log" &&
    ! grep -q 'LeakSanitizer: detected memory leaks' "$log" &&
    grep -q '^Tracer caught signal' "$log" &&
    grep -q 'LeakSanitizer has encountered a fatal error' "$log"
}

run "$@"
status=$?
if [ "$status" -ne 0 ] && checker_crashed_after_passing; then
  echo "under_xvfb.sh: every test passed and then the leak checker itself crashed; running the program once more"
  run "$@"
  status=$?
fi
exit "$status"
