#!/usr/bin/env bash
# Measures the inputs that are not read by name from a plain file: standard input (from a pipe
# and from a file), a FIFO, process substitution, and gzip files (gzip -6) by name and through a
# pipe, all with -p=n, on the single-file inputs of run.sh:
#   a  protein 100 x 100,000 FASTA, b  DNA 20,000 x 2,000 FASTA, c  protein 2,000 x 5,000 NBRF/PIR.
# Each way is set beside what it should be as fast as:
#   -, FIFO, <(...)   the same file read by name (target: within 1.1 x); the same way done by cat
#                     (cat F | cat > /dev/null against cat F > /dev/null) shows what the pipe
#                     itself costs, whoever reads it
#   gzip              zcat FILE.gz | cat > /dev/null (target: within 1.3 x)
# Every command runs under `bash -c`, and the runs of one input alternate (each way and its
# floor once, then again, BENCH_REPEAT times) so that all see the same load. Printed per way:
# median wall seconds of selvane and of its floor (the same done by cat or zcat), their ratio,
# both set beside their way by name, the processor seconds (user and system) of selvane's
# command, cat included, and selvane's peak memory beside the size of the uncompressed
# alignment.
# A measurement, not a test: it fails only on a crash or a missing tool.
# `make bench-streams` builds what it needs and runs it.
#
# Environment: SELVANE, BENCH_TOOLS, BENCH_SCRATCH and BENCH_REPEAT (runs of each way, default
# 7) as for bench/run.sh; BENCH_ONLY among a b c (default all three).
# shellcheck source=bench/common.sh
. "$(dirname "$0")/common.sh"
only="${BENCH_ONLY:-a b c}"
repeat="${BENCH_REPEAT:-7}"

for tool in "$selvane" "$tools/gen_alignment" "$tools/measure"; do
  [ -x "$tool" ] || { echo "missing $tool (run: make bench-streams)" >&2; exit 2; }
done
for tool in gzip zcat mkfifo; do
  command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 2; }
done
[[ "$repeat" =~ ^[1-9][0-9]*$ ]] || { echo "BENCH_REPEAT must be a positive number" >&2; exit 2; }

data="$scratch/data"
run_dir="$scratch/streams-run"
mkdir -p "$data"

# make_input FILE GENERATOR-ARGUMENTS...: FILE in $data (the name run.sh gives it) and FILE.gz.
make_input() {
  local file="$data/$1"
  shift
  if [ ! -s "$file" ]; then
    echo "generating $file"
    "$tools/gen_alignment" "$@" >"$file.tmp"
    mv "$file.tmp" "$file"
  fi
  if [ ! -s "$file.gz" ] || [ "$file.gz" -ot "$file" ]; then
    gzip -6 -c "$file" >"$file.gz.tmp"
    mv "$file.gz.tmp" "$file.gz"
  fi
}

median() { stats "$@" | cut -d' ' -f1; }

# The ways, in order: label, selvane's command and its floor, the same done by cat or zcat
# (F is the input, G its gzip file, S selvane). A FIFO is made afresh for each run.
labels=("by name" "- from a pipe" "- from the file" "FIFO" "<(...)" "gzip by name" "gzip on -")
commands=('$S $F -p=n' 'cat $F | $S - -p=n' '$S - -p=n < $F'
  'rm -f fifo; mkfifo fifo; cat $F > fifo & $S fifo -p=n; s=$?; wait; exit $s'
  '$S <(cat $F) -p=n' '$S $G -p=n' 'cat $G | $S - -p=n')
floors=('cat $F > /dev/null' 'cat $F | cat > /dev/null' 'cat < $F > /dev/null'
  'rm -f fifo; mkfifo fifo; cat $F > fifo & cat fifo > /dev/null; wait'
  'cat <(cat $F) > /dev/null' 'zcat $G | cat > /dev/null' 'cat $G | zcat | cat > /dev/null')

echo "selvane: $selvane"
if commit=$(git -C "$root" describe --always --dirty 2>/dev/null); then echo "checkout: $commit"; fi
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"

summary=()
for key in $only; do
  case "$key" in
    a) file=protein_100x100000.fas label="a: protein 100 x 100,000 FASTA"
      make_input "$file" --type protein --seqs 100 --length 100000 --format fasta ;;
    b) file=dna_20000x2000.fas label="b: DNA 20,000 x 2,000 FASTA"
      make_input "$file" --type dna --seqs 20000 --length 2000 --format fasta ;;
    c) file=protein_2000x5000.pir label="c: protein 2,000 x 5,000 NBRF/PIR"
      make_input "$file" --type protein --seqs 2000 --length 5000 --format pir ;;
    *) echo "BENCH_ONLY: unknown input '$key' (a b c)" >&2; exit 2 ;;
  esac
  rm -rf "$run_dir"
  mkdir -p "$run_dir"
  ln "$data/$file" "$run_dir/$file" 2>/dev/null || cp "$data/$file" "$run_dir/$file"
  ln "$data/$file.gz" "$run_dir/$file.gz" 2>/dev/null || cp "$data/$file.gz" "$run_dir/$file.gz"
  size=$(wc -c <"$data/$file")
  echo
  echo "$label: $(mib "$size") MiB, gzip -6 $(mib "$(wc -c <"$data/$file.gz")") MiB," \
    "$repeat runs of each way"
  declare -A walls=() floor_walls=() cpus=()
  peaks=()
  for ((w = 0; w < ${#labels[@]}; w++)); do peaks[w]=0; done
  for ((i = 0; i <= repeat; i++)); do  # round 0 warms the page cache and is not counted
    for ((w = 0; w < ${#labels[@]}; w++)); do
      for side in selvane floor; do
        if [ "$side" = selvane ]; then command="${commands[w]}"; else command="${floors[w]}"; fi
        (cd "$run_dir" && S="$selvane" F="$file" G="$file.gz" exec "$tools/measure" \
          "$scratch/report" bash -c "$command" >/dev/null 2>&1 </dev/null)
        read -r wall kib status cpu <"$scratch/report"
        if [ "$side" = selvane ] && [ "$status" -ne 1 ]; then
          echo "${labels[w]}: selvane ended with status $status" >&2
          exit 1
        fi
        ((i > 0)) || continue
        if [ "$side" = selvane ]; then
          walls[$w]+=" $wall"
          cpus[$w]+=" $cpu"
          if ((kib > peaks[w])); then peaks[w]=$kib; fi
        else
          floor_walls[$w]+=" $wall"
        fi
      done
    done
  done
  printf '  %-16s %9s %9s %8s %10s %10s %9s %9s\n' way selvane floor ratio "/ by name" \
    "floor /" "cpu s" "peak MiB"
  for ((w = 0; w < ${#labels[@]}; w++)); do
    # shellcheck disable=SC2086 # the lists of times are meant to split
    m=$(median ${walls[$w]}) f=$(median ${floor_walls[$w]})
    # shellcheck disable=SC2086
    m0=$(median ${walls[0]}) f0=$(median ${floor_walls[0]})
    # shellcheck disable=SC2086
    c=$(median ${cpus[$w]}) c0=$(median ${cpus[0]})
    ratio=$(awk -v a="$m" -v b="$f" 'BEGIN { printf "%.2f", a / b }')
    by_name=$(awk -v a="$m" -v b="$m0" 'BEGIN { printf "%.2f", a / b }')
    floor_by_name=$(awk -v a="$f" -v b="$f0" 'BEGIN { printf "%.2f", a / b }')
    printf '  %-16s %9.3f %9.3f %8s %10s %10s %9.3f %9s\n' "${labels[w]}" "$m" "$f" "$ratio" \
      "$by_name" "$floor_by_name" "$c" "$(mib $((peaks[w] * 1024)))"
    case "$w" in
      0) ;;
      5 | 6) summary+=("| ${label%%:*} | ${labels[w]} | $(printf '%.3f / %.3f' "$m" "$f") = $ratio (target 1.3) | $(mib $((peaks[w] * 1024))) |") ;;
      *) summary+=("| ${label%%:*} | ${labels[w]} | $(printf '%.3f / %.3f' "$m" "$m0") = $by_name (target 1.1; cat: $floor_by_name; processor: $(printf '%.3f / %.3f' "$c" "$c0")) | $(mib $((peaks[w] * 1024))) |") ;;
    esac
  done
  echo "  (the alignment: $(mib "$size") MiB)"
  unset walls floor_walls cpus
  rm -rf "$run_dir"
done

echo
echo "Wall seconds, median of $repeat; peak memory of selvane, MiB"
echo
echo "| input | way | selvane / what it is set beside = ratio | peak MiB |"
echo "|---|---|---|---|"
printf '%s\n' "${summary[@]}"
