#!/usr/bin/env bash
# Measures selvane on large generated alignments against the floor of the machine: the time of
# merely reading the input and writing the bytes the run writes.
#
# For each input and each kind of run, BENCH_REPEAT runs of selvane alternate with as many runs
# of their floor (run, floor, run, floor, ...), so that both see the same load:
#   -p=n                          floor: cat INPUT | cat > /dev/null
#   -p=y (the default run)        floor: that, then copying every file the run wrote into a new
#   -k=y -d=y -n=y -u=y (all)            file beside it (bench/floor.cpp: like cat, but one
#                                        process and one buffer for all the files)
#   the batch, every kind         floor: reading the paths file and every alignment (again
#                                        bench/floor.cpp: cat would map a buffer per file), then
#                                        the same copying of every file the run wrote
# The batch's all-outputs run also writes the three concatenations (-a=y -c=y -w=y).
# Printed: median, min and max wall seconds of selvane and of the floor, the ratio of the two
# medians, and selvane's peak memory (maximum resident set size) beside 1.1 x the input + 4 MiB.
# A measurement, not a test: it never fails on a slow result, only on a crash or a missing tool.
# `make bench` builds what it needs and runs it.
#
# Environment:
#   SELVANE        the binary (default build/release/selvane)
#   BENCH_TOOLS    folder of gen_alignment, measure and floor (default build/bench)
#   BENCH_SCRATCH  where inputs are generated once and the runs take place (default build/bench)
#   BENCH_ONLY     inputs to measure, among: protein dna pir batch (default all four)
#   BENCH_RUNS     kinds of run to measure, among: p=n default all (default all three)
#   BENCH_REPEAT   runs of each, and of its floor (default 7)
# shellcheck source=bench/common.sh
. "$(dirname "$0")/common.sh"
only="${BENCH_ONLY:-protein dna pir batch}"
kinds="${BENCH_RUNS:-p=n default all}"
repeat="${BENCH_REPEAT:-7}"

gen="$tools/gen_alignment"
measure="$tools/measure"
floor="$tools/floor"
for tool in "$selvane" "$gen" "$measure" "$floor"; do
  [ -x "$tool" ] || { echo "missing $tool (run: make bench)" >&2; exit 2; }
done
[[ "$repeat" =~ ^[1-9][0-9]*$ ]] || { echo "BENCH_REPEAT must be a positive number" >&2; exit 2; }
for word in $only; do
  case "$word" in protein | dna | pir | batch) ;; *)
    echo "BENCH_ONLY: unknown input '$word' (protein dna pir batch)" >&2; exit 2 ;;
  esac
done
for word in $kinds; do
  case "$word" in p=n | default | all) ;; *)
    echo "BENCH_RUNS: unknown run '$word' (p=n default all)" >&2; exit 2 ;;
  esac
done

data="$scratch/data"
run_dir="$scratch/run"
logs="$scratch/logs"
mkdir -p "$data" "$logs"

# --- Inputs, generated once and kept in $data -------------------------------------------------

make_input() {  # file generator-arguments...
  local file="$data/$1"
  shift
  if [ ! -s "$file" ]; then
    echo "generating $file"
    "$gen" "$@" >"$file.tmp"
    mv "$file.tmp" "$file"
  fi
}

make_batch() {
  local dir="$data/batch" i
  [ -s "$dir/paths.txt" ] && return
  echo "generating $dir (1000 alignments)"
  mkdir -p "$dir/aln"
  : >"$dir/paths.txt.tmp"
  for i in $(seq 1 1000); do
    "$gen" --type protein --seqs 30 --length 300 --format fasta --seed "$i" >"$dir/aln/a$i.fas"
    echo "aln/a$i.fas" >>"$dir/paths.txt.tmp"
  done
  mv "$dir/paths.txt.tmp" "$dir/paths.txt"
}

# --- One measurement ------------------------------------------------------------------------

# timed DIRECTORY COMMAND...: runs COMMAND in DIRECTORY under measure; sets `wall` (seconds),
# `kib` (peak memory) and `status`.
wall=0 kib=0 status=0
timed() {
  local dir="$1" report="$scratch/report"
  shift
  (cd "$dir" && exec "$measure" "$report" "$@")
  read -r wall kib status _ <"$report"
}

# Rows of the closing summary, one per input.
declare -A time_cell=() peak_cell=()
summary_inputs=()

# bench KEY LABEL: measures every selected kind of run on the input laid out in $run_dir, whose
# files are listed (relative to $run_dir) in the array `inputs`; `target` is the input, an
# alignment file or a paths file; `largest` the size in bytes of its largest alignment.
bench() {
  local key="$1" label="$2" kind options outputs written i
  local run_times floor_times peak selvane_stats floor_stats ratio target_mib peak_mib verdict
  local total
  total=$(cd "$run_dir" && cat -- "${inputs[@]}" | wc -c)
  target_mib=$(awk -v b="$largest" 'BEGIN { printf "%.1f", (1.1 * b + 4 * 1048576) / 1048576 }')
  echo
  echo "$label: $(mib "$total") MiB read, memory target $target_mib MiB, $repeat runs of each"
  printf '  %-36s %-25s %-25s %6s %9s  %s\n' run "selvane median (min-max)" \
    "floor median (min-max)" ratio "peak MiB" "written"
  summary_inputs+=("$key")
  time_cell[$key,label]="$label"
  time_cell[$key,size]="$(mib "$total")"
  time_cell[$key,target]="$target_mib"
  for kind in $kinds; do
    case "$kind" in
      p=n) options=(-p=n) ;;
      default) options=(-p=y) ;;
      all) options=(-k=y -d=y -n=y -u=y)
        [ "$key" = batch ] && options+=(-a=y -c=y -w=y) ;;
    esac
    local log="$logs/$key-$kind.log"

    # A first, untimed run warms the page cache and tells which files a run writes.
    written_files
    (cd "$run_dir" && rm -f -- "${outputs[@]}")
    timed "$run_dir" "$selvane" "$target" "${options[@]}" >"$log" </dev/null
    check_selvane "$status" "$log"
    written_files
    if ((${#outputs[@]} == 0)); then
      echo "selvane wrote no file; its output is in $log" >&2
      exit 1
    fi
    written=$(cd "$run_dir" && cat -- "${outputs[@]}" | wc -c)

    # The floor as a script of its own: reading the input, then (but for a single file's -p=n)
    # copying what the run wrote.
    {
      if [ "$key" = batch ]; then
        printf '%q --read' "$floor"
        printf ' %q' "${inputs[@]}"
      else
        printf 'cat %q | cat > /dev/null\n' "$target"
        [ "$kind" = p=n ] || printf '%q' "$floor"
      fi
      if [ "$kind" != p=n ] || [ "$key" = batch ]; then
        printf ' --copy .floor'
        printf ' %q' "${outputs[@]}"
      fi
      printf '\n'
    } >"$scratch/floor.sh"

    run_times=() floor_times=() peak=0
    for ((i = 1; i <= repeat; i++)); do
      (cd "$run_dir" && rm -f -- "${outputs[@]}" "${outputs[@]/%/.floor}")
      timed "$run_dir" "$selvane" "$target" "${options[@]}" >"$log" </dev/null
      check_selvane "$status" "$log"
      run_times+=("$wall")
      if ((kib > peak)); then peak=$kib; fi

      timed "$run_dir" sh "$scratch/floor.sh" </dev/null
      [ "$status" -eq 0 ] || { echo "the floor failed (status $status)" >&2; exit 1; }
      floor_times+=("$wall")
    done

    read -r -a selvane_stats < <(stats "${run_times[@]}")
    read -r -a floor_stats < <(stats "${floor_times[@]}")
    ratio=$(awk -v a="${selvane_stats[0]}" -v b="${floor_stats[0]}" 'BEGIN { printf "%.2f", a / b }')
    peak_mib=$(mib $((peak * 1024)))
    verdict=$(awk -v p="$peak_mib" -v t="$target_mib" 'BEGIN { print (p <= t ? "ok" : "over") }')
    printf '  %-36s %-25s %-25s %6s %6s %-4s %5d file(s), %s MiB\n' "${options[*]}" \
      "$(printf '%.3f (%.3f-%.3f)' "${selvane_stats[@]}")" \
      "$(printf '%.3f (%.3f-%.3f)' "${floor_stats[@]}")" \
      "$ratio" "$peak_mib" "$verdict" "${#outputs[@]}" "$(mib "$written")"
    time_cell[$key,$kind]="$(printf '%.3f / %.3f = %s' "${selvane_stats[0]}" "${floor_stats[0]}" "$ratio")"
    peak_cell[$key,$kind]="$peak_mib $verdict"
  done
  rm -rf "$run_dir"
}

# Sets `outputs` to the files in $run_dir that are not inputs.
written_files() {
  mapfile -t outputs < <(cd "$run_dir" && find . -type f | sed 's|^\./||' | sort |
    comm -23 - <(printf '%s\n' "${inputs[@]}" | sort))
}

# selvane ends every run with status 1; any other status is a crash, not a slow run.
check_selvane() {  # status log
  if [ "$1" -ne 1 ]; then
    echo "selvane ended with status $1; its output is in $2" >&2
    exit 1
  fi
}

# --- The inputs -----------------------------------------------------------------------------

single() {  # key label file generator-arguments...
  local key="$1" label="$2" file="$3"
  shift 3
  make_input "$file" "$@"
  rm -rf "$run_dir"
  mkdir -p "$run_dir"
  ln "$data/$file" "$run_dir/$file" 2>/dev/null || cp "$data/$file" "$run_dir/$file"
  inputs=("$file")
  target="$file"
  largest=$(wc -c <"$data/$file")
  bench "$key" "$label"
}

echo "selvane: $selvane"
if commit=$(git -C "$root" describe --always --dirty 2>/dev/null); then echo "checkout: $commit"; fi
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
for key in $only; do
  case "$key" in
    protein) single protein "protein 100 x 100,000 FASTA" protein_100x100000.fas \
      --type protein --seqs 100 --length 100000 --format fasta ;;
    dna) single dna "DNA 20,000 x 2,000 FASTA" dna_20000x2000.fas \
      --type dna --seqs 20000 --length 2000 --format fasta ;;
    pir) single pir "protein 2,000 x 5,000 NBRF/PIR" protein_2000x5000.pir \
      --type protein --seqs 2000 --length 5000 --format pir ;;
    batch)
      make_batch
      rm -rf "$run_dir"
      # Hard links: the batch's own files stay untouched by the runs.
      cp -al "$data/batch" "$run_dir" 2>/dev/null || cp -a "$data/batch" "$run_dir"
      mapfile -t inputs < <(echo paths.txt; cat "$run_dir/paths.txt")
      target=paths.txt
      largest=$(cd "$run_dir" && wc -c -- "${inputs[@]:1}" |
        awk '$2 != "total" && $1 > m { m = $1 } END { print m }')
      bench batch "batch 1,000 x (30 x 300)" ;;
  esac
done

# --- Summary, in the form of the README's table ---------------------------------------------

{
  echo
  echo "Wall seconds, median of $repeat: selvane / its floor = ratio"
  echo
  header="| input |" rule="|---|"
  # shellcheck disable=SC2016 # the backquotes are Markdown
  for kind in $kinds; do
    case "$kind" in
      p=n) header+=' `-p=n` |' ;;
      default) header+=' default (`-p=y`) |' ;;
      all) header+=' `-k=y -d=y -n=y -u=y` |' ;;
    esac
    rule+="---|"
  done
  echo "$header"
  echo "$rule"
  for key in "${summary_inputs[@]}"; do
    row="| ${time_cell[$key,label]} |"
    for kind in $kinds; do row+=" ${time_cell[$key,$kind]} |"; done
    echo "$row"
  done
  echo
  echo "Peak memory, MiB (target: 1.1 x the largest alignment read + 4 MiB)"
  echo
  echo "| input | read | target |${header#| input |}"
  echo "${rule}---|---|"
  for key in "${summary_inputs[@]}"; do
    row="| ${time_cell[$key,label]} | ${time_cell[$key,size]} | ${time_cell[$key,target]} |"
    for kind in $kinds; do row+=" ${peak_cell[$key,$kind]} |"; done
    echo "$row"
  done
} | tee "$scratch/summary.md"
