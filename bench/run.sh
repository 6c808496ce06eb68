#!/usr/bin/env bash
# Measures selvane on large generated alignments: wall time and peak memory of
# `selvane FILE -p=n` beside `cat FILE > /dev/null` and `cat FILE | cat > /dev/null`, the cost
# of merely reading the file.
# A measurement, not a test: it never fails on a slow result. `make bench` runs it.
#
# Environment: SELVANE (the binary), GEN (the generator), DATA (where alignments go).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
selvane="${SELVANE:-$root/build/release/selvane}"
gen="${GEN:-$root/build/bench/gen_alignment}"
data="${DATA:-$root/bench/data}"
case "$selvane" in /*) ;; *) selvane="$PWD/$selvane" ;; esac

for tool in "$selvane" "$gen"; do
  [ -x "$tool" ] || { echo "missing $tool (run: make bench)" >&2; exit 2; }
done

# GNU time reports the peak resident set size; Debian ships it as the package `time`.
if [ ! -x /usr/bin/time ]; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends time \
    </dev/null >/dev/null 2>&1 || true
fi

# Fallback timer when GNU time is missing: runs a command, writes "wall-seconds peak-KiB".
# The peak is an upper bound: the child counts the launcher's own pages (about 14 MiB).
rusage_timer() {
  python3 - "$@" <<'PY'
import os, resource, subprocess, sys, time
report, out, cmd = sys.argv[1], sys.argv[2], sys.argv[3:]
start = time.monotonic()
with open(out, "wb") as sink:
    status = subprocess.call(cmd, stdout=sink, stdin=subprocess.DEVNULL)
wall = time.monotonic() - start
with open(report, "w") as f:
    f.write(f"{wall:.2f} {resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss}\n")
sys.exit(status)
PY
}

# measure LABEL OUTPUT COMMAND...: prints wall seconds and peak memory of one command whose
# standard output goes to OUTPUT. For selvane, its summary lines are shown too.
measure() {
  local label="$1" output="$2" report status wall kib
  shift 2
  report="$(mktemp)"
  set +e
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -f '%e %M' -o "$report" "$@" >"$output" </dev/null
  else
    rusage_timer "$report" "$output" "$@"
  fi
  status=$?
  set -e
  # GNU time puts "Command exited with non-zero status" first; the figures are last.
  read -r wall kib < <(tail -n 1 "$report")
  awk -v l="$label" -v w="$wall" -v k="$kib" -v s="$status" \
    'BEGIN { printf "  %-8s %8.2f s %10.1f MiB   (exit %d)\n", l, w, k / 1024, s }'
  rm -f "$report"
}

mkdir -p "$data"
make_input() {  # file generator-arguments...
  local file="$data/$1"
  shift
  if [ ! -s "$file" ]; then
    echo "generating $file"
    "$gen" "$@" >"$file.tmp"
    mv "$file.tmp" "$file"
  fi
}

make_input protein_100x100000.fas --type protein --seqs 100 --length 100000 --format fasta
make_input dna_20000x2000.fas --type dna --seqs 20000 --length 2000 --format fasta
make_input dna_20000x2000.pir --type dna --seqs 20000 --length 2000 --format pir

for name in protein_100x100000.fas dna_20000x2000.fas dna_20000x2000.pir; do
  file="$data/$name"
  echo
  echo "$name ($(du -h "$file" | cut -f1))"
  measure cat /dev/null cat "$file"
  # GNU cat may hand a regular file to /dev/null without reading it; through a pipe it must.
  measure "cat|cat" /dev/null sh -c 'cat "$1" | cat' sh "$file"
  # Only the selected blocks are written (-p=n turns the results file off).
  log="$data/$name.log"
  (cd "$data" && measure selvane "$log" "$selvane" "$name" -p=n)
  grep -E 'positions in the first|alignment: ' "$log" | sed 's/^/             /' || true
done

# A batch: 1,000 alignments of 30 sequences x 300 positions, listed in one paths file, with the
# three concatenations on. The floor is reading every listed file once.
batch="$data/batch"
if [ ! -s "$batch/paths.txt" ]; then
  echo
  echo "generating $batch (1000 alignments)"
  mkdir -p "$batch/aln"
  : >"$batch/paths.txt.tmp"
  for i in $(seq 1 1000); do
    "$gen" --type protein --seqs 30 --length 300 --format fasta --seed "$i" >"$batch/aln/a$i.fas"
    echo "aln/a$i.fas" >>"$batch/paths.txt.tmp"
  done
  mv "$batch/paths.txt.tmp" "$batch/paths.txt"
fi
echo
echo "batch of 1000 alignments, 30 x 300 ($(cat "$batch"/aln/*.fas | wc -c) bytes)"
(cd "$batch" && measure "cat|cat" /dev/null sh -c 'cat aln/*.fas | cat')
log="$data/batch.log"
(cd "$batch" && measure selvane "$log" "$selvane" paths.txt -p=n -a=Y -c=Y -w=Y)
tail -n 2 "$log" | sed 's/^/             /'
