#!/usr/bin/env bash
# Builds everything with clang and the libFuzzer targets, makes their seed
# corpora from the demo module and the test fixtures, and runs the given
# targets (all by default) for the given seconds each, at most
# VARD_FUZZ_JOBS (default 2) at a time. Sanitizer reports stop a target
# (halt on error). Findings land in <build>/fuzz-artifacts; inputs worth
# keeping go to tests/data/fuzz with a regression test.
#   tools/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VARD_FUZZ_BUILD:-build-fuzz}
seconds=${1:-180}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(common_archive_fuzz world_module_fuzz world_area_fuzz world_actor_fuzz
           world_records_fuzz platform_x_file_fuzz platform_image_fuzz rules_save_fuzz
           script_run_fuzz)
fi
jobs=${VARD_FUZZ_JOBS:-2}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DVARD_FUZZ=ON -DVARD_TESTS=ON >/dev/null
cmake --build "$build" -j "${VARD_BUILD_JOBS:-4}"
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

corpus=$build/fuzz-corpus
artifacts=$build/fuzz-artifacts
mkdir -p "$artifacts"

# seed TARGET NAME SELECTOR-BYTE|- FILE: one seed, prefixed by the byte that
# the target reads first.
seed() {
  local dir=$corpus/$1-seed
  mkdir -p "$dir"
  if [ "$3" = - ]; then
    cp "$4" "$dir/$2"
  else
    { printf "\\x$(printf %02x "$3")"; cat "$4"; } >"$dir/$2"
  fi
}

module_files=(world magic items factions monsters quests journal)
for i in "${!module_files[@]}"; do
  seed world_module_fuzz "demo_${module_files[$i]}" "$i" "data/demo/${module_files[$i]}.vard"
done
for fixture in tests/data/world/*.vard; do
  name=$(basename "$fixture" .vard)
  case $name in
    items_*) seed world_module_fuzz "$name" 2 "$fixture" ;;
    records_factions) seed world_module_fuzz "$name" 3 "$fixture" ;;
    monsters_*) seed world_module_fuzz "$name" 4 "$fixture" ;;
    records_quests) seed world_module_fuzz "$name" 5 "$fixture" ;;
    records_journal) seed world_module_fuzz "$name" 6 "$fixture" ;;
    actor_main | actor_monster) seed world_actor_fuzz "$name" - "$fixture" ;;
    records_worldmap) seed world_records_fuzz "$name" 0 "$fixture" ;;
    placed_saved_objects) seed world_records_fuzz "$name" 1 "$fixture" ;;
    records_saved_blocks) seed world_records_fuzz "$name" 2 "$fixture" ;;
  esac
done
# Saved actors and objects of the demo's own areas (written by the game).
for record in tests/data/fuzz/seeds/actor_*.vard; do
  seed world_actor_fuzz "$(basename "$record" .vard)" - "$record"
done
seed world_records_fuzz objects_crypt 1 tests/data/fuzz/seeds/objects_crypt.vard
seed world_records_fuzz demo_worldmap 0 data/demo/worldmap.vard
# Area reads: each mode, and a fresh read on arrival from another area.
for area in data/demo/town.vard data/demo/forest.vard data/demo/crypt.vard tests/data/world/area_*.vard; do
  name=$(basename "$area" .vard)
  for selector in 0 1 2 3 8; do
    seed world_area_fuzz "${name}_$selector" "$selector" "$area"
  done
done
# Mesh files: text, and both compressed forms made from the same meshes.
for mesh in tests/data/platform/two_frames.x tests/data/fuzz/seeds/two_frames_*.x; do
  seed platform_x_file_fuzz "$(basename "$mesh" .x)" - "$mesh"
done
# Images of every format the decoders take.
for image in tests/data/fuzz/seeds/image_*; do
  seed platform_image_fuzz "$(basename "$image")" - "$image"
done
# Saved games: the start, after travel, and after random play in each area.
saves=$corpus/saves
mkdir -p "$saves"
"$build/bin/vardsim" --module data/demo --seed 3 --ticks 40 --save "$saves/start.sav" >/dev/null
for run in 1 2 3 4; do
  "$build/bin/vardsim" --module data/demo --seed "$run" --random-orders "$run" --ticks 3000 \
    --save "$saves/random_$run.sav" >/dev/null
done
for save in "$saves"/*.sav; do
  seed rules_save_fuzz "$(basename "$save" .sav)" - "$save"
done
# Scripts: the body of every <lua> block of the demo module,
mkdir -p "$corpus/script_run_fuzz-seed"
awk -v dir="$corpus/script_run_fuzz-seed" '
  /<lua>/ { n++; inside = 1; file = sprintf("%s/demo_%03d.lua", dir, n) }
  inside { line = $0; sub(/.*<lua>/, "", line); sub(/<\/lua>.*/, "", line); print line > file }
  /<\/lua>/ { inside = 0; close(file) }' data/demo/*.vard
# and the hostile scripts the host must stop.
for script in tests/data/fuzz/seeds/script_*.lua; do
  seed script_run_fuzz "$(basename "$script" .lua)" - "$script"
done
# and the library calls with extreme arguments, one body per case.
awk -v dir="$corpus/script_run_fuzz-seed" '
  /^-- (gives|fails)/ { n++; getline body; file = sprintf("%s/extreme_%03d.lua", dir, n)
                        print body > file; close(file) }' tests/data/fuzz/library_extremes.lua
"$build/bin/vardpack" data/demo "$corpus/demo.vard"
"$build/bin/vardpack" tests/data/world "$corpus/fixtures.vard"
seed common_archive_fuzz demo - "$corpus/demo.vard"
seed common_archive_fuzz fixtures - "$corpus/fixtures.vard"

# The tag words of the demo module help the text readers past their tags.
dictionary=$corpus/tags.dict
grep -oh '</\?[a-z_0-9]*>' data/demo/*.vard tests/data/world/*.vard | sort -u |
  sed 's/.*/"&"/' >"$dictionary"

# The game functions help the script target past the host's checks.
script_dictionary=$corpus/script.dict
grep -oh 'vard_[a-z_]*' src/script/script_functions.cpp | sort -u | sed 's/.*/"&"/' >"$script_dictionary"
printf '"%s"\n' "(context" ", " ")" "\"" "end" "function" "while true do" "for i=1,1e9 do" \
  "string.rep" "local" "return" >>"$script_dictionary"

status=0
run_target() {
  local target=$1
  mkdir -p "$corpus/$target-seed" "$corpus/$target"
  local options=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20
                 -artifact_prefix="$artifacts/$target-")
  case $target in
    world_* | rules_save_fuzz) options+=(-dict="$dictionary") ;;
    script_run_fuzz) options+=(-dict="$script_dictionary") ;;
  esac
  # A stopped target must not outlive its budget by more than a minute.
  if timeout $((seconds + 60)) "$build/bin/$target" "${options[@]}" "$corpus/$target" \
    "$corpus/$target-seed" >"$artifacts/$target.log" 2>&1; then
    echo "$target: no finding in ${seconds}s ($(grep -c '^#' "$artifacts/$target.log") status lines)"
  else
    echo "$target: found a problem, see $artifacts/$target.log"
    return 1
  fi
}
# A new target starts as soon as any running one ends.
running=0
for target in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
  run_target "$target" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done
exit $status
