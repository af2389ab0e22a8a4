#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, makes their seed corpora from the
# demo module and the test fixtures, and runs the given targets (all by
# default) side by side for the given seconds each. Findings land in
# <build>/fuzz-artifacts; inputs worth keeping go to tests/data/fuzz with a
# regression test.
#   tools/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VARD_FUZZ_BUILD:-build-fuzz}
seconds=${1:-180}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(common_archive_fuzz world_module_fuzz world_area_fuzz world_actor_fuzz
           world_records_fuzz)
fi

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DVARD_FUZZ=ON -DVARD_TESTS=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target vardpack "${targets[@]}"

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
"$build/bin/vardpack" data/demo "$corpus/demo.vard"
"$build/bin/vardpack" tests/data/world "$corpus/fixtures.vard"
seed common_archive_fuzz demo - "$corpus/demo.vard"
seed common_archive_fuzz fixtures - "$corpus/fixtures.vard"

# The tag words of the demo module help the text readers past their tags.
dictionary=$corpus/tags.dict
grep -oh '</\?[a-z_0-9]*>' data/demo/*.vard tests/data/world/*.vard | sort -u |
  sed 's/.*/"&"/' >"$dictionary"

pids=()
for target in "${targets[@]}"; do
  mkdir -p "$corpus/$target-seed" "$corpus/$target"
  options=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10
           -artifact_prefix="$artifacts/$target-")
  case $target in
    world_*) options+=(-dict="$dictionary") ;;
  esac
  "$build/bin/$target" "${options[@]}" "$corpus/$target" "$corpus/$target-seed" \
    >"$artifacts/$target.log" 2>&1 &
  pids+=($!)
done
status=0
for i in "${!pids[@]}"; do
  if ! wait "${pids[$i]}"; then
    echo "${targets[$i]}: found a problem, see $artifacts/${targets[$i]}.log"
    status=1
  fi
done
exit $status
