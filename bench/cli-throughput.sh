#!/usr/bin/env bash
# Points per second of terrax-convert against the input/output floor, in one
# run on the same generated file: 1,000,000 geodetic points on Beijing-54
# converted with seven parameters to Gauss-Krueger plane coordinates on
# WGS-84, written to a file. The floor only reads three numbers per line and
# writes them with "%.6f".
#
#   bench/cli-throughput.sh [POINTS]       (default 1000000)
#
# Builds Release into build/bench-cli (BUILD_DIR overrides it). Each program
# runs ROUNDS times (default 3), taking turns; the best time of each counts.
set -euo pipefail
cd "$(dirname "$0")/.."

points=${1:-1000000}
rounds=${ROUNDS:-3}
build=${BUILD_DIR:-build/bench-cli}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTERRAX_UI=OFF \
      -DTERRAX_TESTS=OFF -DTERRAX_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target terrax-convert cli_floor cli_bench_points >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/cli/cli_bench_points" "$points" "$work/points.txt" "$work/job.cod"
# Four quarters of the same points, for the run over several files.
split -n l/4 -d --additional-suffix=.txt "$work/points.txt" "$work/part"

convert=("$build/cli/terrax-convert" --project "$work/job.cod"
         --from geodetic --to plane --source-datum beijing54 --target-datum wgs84
         --seven on --four off --items id,lat,lon,height,other --extension txt
         --naming ext1 --progress off)

now() { date +%s%N; }
# best NAME COMMAND...: runs the command, keeps the shortest time in ns.
declare -A best
run() {
  local name=$1; shift
  local start end
  start=$(now)
  "$@" >/dev/null 2>&1
  end=$(now)
  local t=$((end - start))
  if [ -z "${best[$name]:-}" ] || [ "$t" -lt "${best[$name]}" ]; then best[$name]=$t; fi
}

for ((r = 0; r < rounds; ++r)); do
  run floor "$build/bench/cli/cli_floor" "$work/points.txt" "$work/floor.txt"
  run convert "${convert[@]}" "$work/points.txt"
  run convert1 "${convert[@]}" --jobs 1 "$work/points.txt"
  run files "${convert[@]}" "$work"/part0[0-3].txt
done

lines=$(wc -l < "$work/points.txt1")
[ "$lines" -eq "$points" ] || { echo "converted $lines lines of $points" >&2; exit 1; }
cat "$work"/part0[0-3].txt1 | cmp -s - "$work/points.txt1" ||
  { echo "the four files differ from the one file" >&2; exit 1; }

rate() { echo "$points $1" | awk '{ printf "%.0f", $1 / ($2 / 1e9) }'; }
floor=$(rate "${best[floor]}")
echo "machine: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores"
echo "points: $points (input $(stat -c %s "$work/points.txt") bytes, sha256 $(sha256sum < "$work/points.txt" | cut -c1-16))"
printf '%-44s %12s points/s  ratio to floor\n' "" ""
for name in floor convert convert1 files; do
  case $name in
    floor) label="floor (strtod and %.6f through stdio)" ;;
    convert) label="terrax-convert, one file" ;;
    convert1) label="terrax-convert, one file, --jobs 1" ;;
    files) label="terrax-convert, four files of a quarter" ;;
  esac
  r=$(rate "${best[$name]}")
  printf '%-44s %12s           %s\n' "$label" "$r" "$(echo "$r $floor" | awk '{ printf "%.2f", $1 / $2 }')"
done
