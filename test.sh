#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, builds the game optimised as well (an optimising
# compile reports faults the other does not), and runs every test; the game's
# window tests run from the optimised build too, where a step that leans on
# the machine's speed fails.
set -euo pipefail
cd "$(dirname "$0")"
# A temporary folder of this run's own, so that another run on the machine
# never meets its files there; gone at the end, however the run ends.
TMPDIR=$(mktemp -d)
export TMPDIR
trap 'chmod -R u+rwx "$TMPDIR" 2>/dev/null; rm -rf "$TMPDIR"' EXIT
source tools/setup.sh
vard_install_packages
vard_print_versions
build=${VARD_TEST_BUILD:-build-test}
vard_configure "$build" -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g1 -Og" -DVARD_SANITIZE=ON
vard_build "$build"
vard_configure "$build-release" -DCMAKE_BUILD_TYPE=Release -DVARD_SANITIZE=OFF
vard_build "$build-release" vard game_playthrough_tests game_script_stops_tests
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
# After the others, on a quiet machine, as a player's would be.
ctest --test-dir "$build-release" --output-on-failure -R '^game_'
