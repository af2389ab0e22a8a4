#!/usr/bin/env bash
# The window tests' runner: which endings it runs again, and which it lets
# fail. Each case is a stand-in program that ends as a real one would.
set -u
runner=$(dirname "$0")/under_xvfb.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

passed='[  PASSED  ] 1 test.'
crash='Tracer caught signal 11: addr=0x1678 pc=0x7fcc9ace80f0 sp=0x7fcc889fdd10
==7365==LeakSanitizer has encountered a fatal error.
==7365==HINT: For debugging, try setting environment variable LSAN_OPTIONS=verbosity=1:log_threads=1
==7365==HINT: LeakSanitizer does not work under ptrace (strace, gdb, etc)'
leak='==7365==ERROR: LeakSanitizer: detected memory leaks
Direct leak of 32 byte(s) in 1 object(s) allocated from:'
failed='[  FAILED  ] 1 test, listed below:'

# case NAME EXPECTED-STATUS EXPECTED-RUNS FIRST-OUTPUT FIRST-STATUS [LATER-OUTPUT LATER-STATUS]
case_() {
  local name=$1 want_status=$2 want_runs=$3
  local program=$scratch/$name
  printf '%s\n' "$4" >"$program.first"
  printf '%s\n' "${6:-$4}" >"$program.later"
  cat >"$program" <<PROGRAM
#!/usr/bin/env bash
echo run >>"$program.runs"
if [ "\$(wc -l <"$program.runs")" -eq 1 ]; then cat "$program.first"; exit $5; fi
cat "$program.later"; exit ${7:-$5}
PROGRAM
  chmod +x "$program"
  "$runner" "$program" >"$program.out" 2>&1
  local status=$? runs
  runs=$(wc -l <"$program.runs")
  if [ "$status" -ne "$want_status" ] || [ "$runs" -ne "$want_runs" ]; then
    echo "FAILED $name: exit $status after $runs runs, expected exit $want_status after $want_runs"
    sed 's/^/  | /' "$program.out"
    failures=$((failures + 1))
  else
    echo "ok $name"
  fi
}

case_ checker_crash_once 0 2 "$passed
$crash" 134 "$passed" 0
case_ checker_crash_twice 134 2 "$passed
$crash" 134
case_ leak_and_crash 134 1 "$passed
$leak
$crash" 134 "$passed" 0
case_ failed_test 1 1 "$failed
$crash" 1 "$passed" 0
case_ crash_without_passing 134 1 "$crash" 134 "$passed" 0
case_ failed_without_crash 1 1 "$passed" 1 "$passed" 0

grep -q "running the program once more" "$scratch/checker_crash_once.out" ||
  { echo "FAILED: the rerun is not announced"; failures=$((failures + 1)); }

# Runners started at the same moment each get a display of their own: every
# program holds its display until all have one.
together=$scratch/together
mkdir "$together"
cat >"$together/program" <<PROGRAM
#!/usr/bin/env bash
echo "\$DISPLAY" >"$together/display.\$\$"
for _ in \$(seq 600); do
  [ "\$(ls "$together" | grep -c '^display\.')" -ge 4 ] && exit 0
  sleep 0.1
done
exit 1
PROGRAM
chmod +x "$together/program"
runners=()
for runner_number in 1 2 3 4; do
  "$runner" "$together/program" >"$together/out.$runner_number" 2>&1 &
  runners+=($!)
done
ended=0
for pid in "${runners[@]}"; do
  wait "$pid" && ended=$((ended + 1))
done
displays=$(cat "$together"/display.* 2>/dev/null | sort -u | wc -l)
if [ "$ended" -ne 4 ] || [ "$displays" -ne 4 ]; then
  echo "FAILED together: $ended of 4 runners ended well, on $displays displays"
  cat "$together"/out.* | sed 's/^/  | /'
  failures=$((failures + 1))
else
  echo "ok together"
fi
exit $((failures > 0))
