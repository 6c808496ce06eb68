#!/usr/bin/env bash
# Runs the fuzz targets at the same time, each for FUZZ_SECONDS seconds (default 60), and fails
# on any crash, hang or sanitizer report. Usage: fuzz/run.sh BUILD_DIR [TARGET ...] (targets:
# readers command_line menus). A fuzz target uses one core; with fewer cores than targets they
# share them, which costs each some runs but not the time of running one after another.
#
# Each target keeps a working corpus under BUILD_DIR/corpus/TARGET, which grows from run to run.
# It starts from the seeds of fuzz/seeds/TARGET, the examples and, for the readers, the small
# alignments of the shared corpus when it is there (copied at run time, never into the
# repository). A finding is saved under BUILD_DIR/findings/TARGET/; run the target on that file
# to reproduce it.
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:?usage: fuzz/run.sh BUILD_DIR [TARGET ...]}" && pwd)"
shift
targets=("$@")
if ((${#targets[@]} == 0)); then targets=(readers command_line menus); fi
seconds="${FUZZ_SECONDS:-60}"

corpus_dir=""
for candidate in "${SELVANE_CORPUS_DIR:-}" "$root/../shared/corpus" "$root/../../shared/corpus"; do
  if [ -n "$candidate" ] && [ -d "$candidate" ]; then corpus_dir="$candidate"; break; fi
done

# One target: seeds, then the run, its log in BUILD_DIR/logs/TARGET.log; its status is the
# fuzzer's.
fuzz_one() {
  local target=$1
  local binary="$build/fuzz_$target"
  local work="$build/corpus/$target"
  local seeds="$build/seeds/$target"
  local findings="$build/findings/$target"
  local log="$build/logs/$target.log"
  mkdir -p "$work" "$seeds" "$findings" "$build/logs"
  if [ -d "$root/fuzz/seeds/$target" ]; then cp -f "$root/fuzz/seeds/$target"/* "$seeds"/ 2>/dev/null; fi
  if [ "$target" = readers ]; then
    cp -f "$root"/examples/*.fas "$root"/examples/*.pir "$seeds"/
    if [ -n "$corpus_dir" ]; then
      # Small files only: the fuzzer mutates many short inputs faster than a few long ones.
      find "$corpus_dir" -type f -size -16k ! -name '*.md' -print0 |
        while IFS= read -r -d '' file; do
          cp -f "$file" "$seeds/$(echo "${file#"$corpus_dir"/}" | tr / _)"
        done
    fi
  fi
  "$binary" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$work" "$seeds" >"$log" 2>&1
}

pids=()
for target in "${targets[@]}"; do
  echo "fuzz_$target: ${seconds}s, corpus $build/corpus/$target"
  fuzz_one "$target" &
  pids+=($!)
done

failed=0
for i in "${!targets[@]}"; do
  target=${targets[$i]}
  log="$build/logs/$target.log"
  wait "${pids[$i]}"
  status=$?
  # The final statistics and the last coverage line, for the log of the caller.
  echo "fuzz_$target:"
  grep -E '^(#[0-9]+.*(DONE|INITED)|stat::number_of_executed_units|stat::peak_rss_mb|stat::new_units_added)' "$log" | tail -4
  if [ "$status" -ne 0 ]; then
    echo "fuzz_$target FAILED (status $status); the end of $log:"
    tail -40 "$log"
    failed=1
  fi
done
exit "$failed"
