#!/usr/bin/env bash
# Runs a test program on a virtual X display of its own. The leak checker
# now and then crashes in its own stop-the-world, after every test passed
# and with no leak found; such a run is run once more, and says so. A leak
# report, a failed test or the same crash twice still fails.
set -u
log=$(mktemp)
trap 'rm -f "$log"' EXIT

run() {
  xvfb-run -a -s "-screen 0 1024x768x24" "$@" 2>&1 | tee "$log"
  return "${PIPESTATUS[0]}"
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
