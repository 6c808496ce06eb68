#!/usr/bin/env bash
# Measures the readers of the formats read with --in-format against the FASTA reader: one
# generated alignment written in FASTA and in PHYLIP, Clustal, Stockholm and NEXUS (by
# bench/to_format.cpp, laid out as the programs that write each format do), each read by
# `selvane FILE --in-format=auto -p=n -s=n` (the reading, the conservation values and the
# blocks; nothing written).
#
# Printed for each file: its size, the median (min-max) wall seconds of BENCH_REPEAT runs, the
# time per input byte and its ratio to the FASTA file's, the ratio of the wall times (the same
# alignment, so the same work after reading) and the peak memory. The ratios are of the fastest
# runs: on a shared machine the slower ones measure the other programs as much as selvane. A
# measurement, not a test.
# `make bench-formats` builds what it needs and runs it.
#
# Environment: SELVANE, BENCH_TOOLS, BENCH_SCRATCH and BENCH_REPEAT as for bench/run.sh;
# BENCH_ONLY among protein dna (default both).
# shellcheck source=bench/common.sh
. "$(dirname "$0")/common.sh"
only="${BENCH_ONLY:-protein dna}"
repeat="${BENCH_REPEAT:-7}"
for tool in "$selvane" "$tools/gen_alignment" "$tools/to_format" "$tools/measure"; do
  [ -x "$tool" ] || { echo "missing $tool (run: make bench-formats)" >&2; exit 2; }
done

data="$scratch/data/formats"
mkdir -p "$data"
report="$scratch/report"

measure_input() {  # key label generator-arguments...
  local key="$1" label="$2" file format bytes times peak i wall kib status fasta_ns fasta_wall
  shift 2
  if [ ! -s "$data/$key.fas" ]; then
    echo "generating $data/$key.fas"
    "$tools/gen_alignment" "$@" --format fasta >"$data/$key.fas.tmp"
    mv "$data/$key.fas.tmp" "$data/$key.fas"
  fi
  for format in phylip clustal stockholm nexus; do
    if [ ! -s "$data/$key.$format" ]; then
      "$tools/to_format" "$format" <"$data/$key.fas" >"$data/$key.$format.tmp"
      mv "$data/$key.$format.tmp" "$data/$key.$format"
    fi
  done
  echo
  echo "$label, $repeat runs of each"
  printf '  %-10s %9s  %-25s %8s %9s %9s %9s\n' format MiB "seconds median (min-max)" \
    "min ns/B" "vs FASTA" "time vs" "peak MiB"
  for format in fas phylip clustal stockholm nexus; do
    file="$data/$key.$format"
    bytes=$(wc -c <"$file")
    times=() peak=0
    "$selvane" "$file" --in-format=auto -p=n -s=n >/dev/null 2>&1 </dev/null || true  # warm
    for ((i = 1; i <= repeat; i++)); do
      "$tools/measure" "$report" "$selvane" "$file" --in-format=auto -p=n -s=n >/dev/null 2>&1 </dev/null
      read -r wall kib status _ <"$report"
      [ "$status" -eq 1 ] || { echo "selvane ended with status $status on $file" >&2; exit 1; }
      times+=("$wall")
      if ((kib > peak)); then peak=$kib; fi
    done
    read -r -a s < <(stats "${times[@]}")
    local ns
    ns=$(awk -v t="${s[1]}" -v b="$bytes" 'BEGIN { printf "%.2f", t * 1e9 / b }')
    if [ "$format" = fas ]; then fasta_ns=$ns fasta_wall=${s[1]}; fi
    printf '  %-10s %9.1f  %-25s %8s %9s %9s %9.1f\n' "$format" \
      "$(awk -v b="$bytes" 'BEGIN { print b / 1048576 }')" \
      "$(printf '%.3f (%.3f-%.3f)' "${s[@]}")" "$ns" \
      "$(awk -v a="$ns" -v b="$fasta_ns" 'BEGIN { printf "%.2f", a / b }')" \
      "$(awk -v a="${s[1]}" -v b="$fasta_wall" 'BEGIN { printf "%.2f", a / b }')" \
      "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')"
  done
}

echo "selvane: $selvane"
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
for key in $only; do
  case "$key" in
    protein) measure_input protein "protein 100 x 100,000" --type protein --seqs 100 --length 100000 ;;
    dna) measure_input dna "DNA 20,000 x 2,000" --type dna --seqs 20000 --length 2000 ;;
    *) echo "BENCH_ONLY: unknown input '$key' (protein dna)" >&2; exit 2 ;;
  esac
done
