#!/usr/bin/env bash
# Measures a phylogenomic batch joined by taxon: gene alignments of 100 taxa named
# TAXON@gene-row, each lacking about 5 % of the taxa and listing the rest in its own order, run
#   selvane PATHS --by-name --taxon-sep=@ -a=y -c=y -w=y --svg --partitions -p=n -s=n
# on the first N genes for every N of BENCH_SIZES, so that time (wall and CPU) and peak memory
# can be read against the size of the input (both should grow in proportion to it: every part of
# a batch, the three concatenations, their partition files and the overview of the selected
# blocks, must cost time linear in the number of genes). -s=n and -p=n leave out the per-gene files whose
# cost the main benchmark (run.sh) measures already; --svg keeps each gene's overview.
# A measurement, not a test: it fails only on a crash or a missing tool.
# `make bench-by-name` builds what it needs and runs it.
#
# Environment:
#   SELVANE        the binary (default build/release/selvane)
#   BENCH_TOOLS    folder of gen_batch and measure (default build/bench)
#   BENCH_SCRATCH  where the genes are generated once and the runs take place (default build/bench)
#   BENCH_SIZES    numbers of genes to run (default "1000 10000 50000"); the largest is generated
#   BENCH_REPEAT   runs of each size; the median is reported (default 3)
# shellcheck source=bench/common.sh
. "$(dirname "$0")/common.sh"
sizes="${BENCH_SIZES:-1000 10000 50000}"
repeat="${BENCH_REPEAT:-3}"

for tool in "$selvane" "$tools/gen_batch" "$tools/measure"; do
  [ -x "$tool" ] || { echo "missing $tool (run: make bench-by-name)" >&2; exit 2; }
done
genes=0
for n in $sizes; do
  [[ "$n" =~ ^[1-9][0-9]{0,6}$ ]] ||
    { echo "BENCH_SIZES: '$n' is not a number of genes from 1 to 9999999" >&2; exit 2; }
  if ((n > genes)); then genes=$n; fi
done

# The genes are generated once, and again only when more are asked for: the same arguments give
# the same files, so the first genes of a larger batch are those of a smaller one.
data="$scratch/byname"
if [ ! -s "$data/genes/genes.txt" ] || (($(wc -l <"$data/genes/genes.txt") < genes)); then
  echo "generating $data ($genes genes of 100 taxa)"
  rm -rf "$data"
  "$tools/gen_batch" --dir "$data/genes" --genes "$genes" --taxa 100 --length 300 --missing 5
fi

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

echo "selvane: $selvane"
if commit=$(git -C "$root" describe --always --dirty 2>/dev/null); then echo "checkout: $commit"; fi
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| genes | read MiB | written MiB | wall s (median of $repeat) | CPU s (median) | CPU s per 100 MiB read | peak MiB | peak / read |"
echo "|---|---|---|---|---|---|---|---|"
for n in $sizes; do
  run="$scratch/byname-run"
  rm -rf "$run"
  mkdir -p "$run"
  cp -al "$data/genes" "$run/genes" 2>/dev/null || cp -a "$data/genes" "$run/genes"
  head -n "$n" "$data/genes/genes.txt" >"$run/paths.txt"
  read_bytes=$(cd "$run" && cat paths.txt | xargs cat | wc -c)
  walls=() cpus=() peak=0
  for ((i = 1; i <= repeat; i++)); do
    rm -f "$run"/genes/paths.txt*
    (cd "$run" && exec "$tools/measure" "$scratch/report" "$selvane" paths.txt --by-name \
      --taxon-sep=@ -a=y -c=y -w=y --svg --partitions -p=n -s=n) >"$scratch/byname.log" </dev/null
    read -r wall kib status cpu <"$scratch/report"
    if [ "$status" -ne 1 ]; then
      echo "selvane ended with status $status; its output is in $scratch/byname.log" >&2
      exit 1
    fi
    walls+=("$wall")
    cpus+=("$cpu")
    if ((kib > peak)); then peak=$kib; fi
  done
  # The batch's files and every gene's overview.
  written=$(find "$run/genes" -type f \( -name 'paths.txt*' -o -name '*.svg' \) -printf '%s\n' |
    awk '{ s += $1 } END { print s + 0 }')
  wall=$(median "${walls[@]}")
  cpu=$(median "${cpus[@]}")
  printf '| %d | %s | %s | %.2f | %.2f | %.2f | %s | %.2f |\n' "$n" "$(mib "$read_bytes")" \
    "$(mib "$written")" "$wall" "$cpu" "$(awk -v c="$cpu" -v b="$read_bytes" \
    'BEGIN { print c / (b / 104857600) }')" "$(mib $((peak * 1024)))" \
    "$(awk -v p="$peak" -v b="$read_bytes" 'BEGIN { print p * 1024 / b }')"
  rm -rf "$run"
done
