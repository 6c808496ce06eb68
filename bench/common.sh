# Sourced by the benchmark scripts: strict shell, the C locale, the programs and folders they
# use, from the environment (SELVANE, BENCH_TOOLS, BENCH_SCRATCH) or beside the checkout, and
# the figures' helpers.
set -euo pipefail
export LC_ALL=C

root="$(cd "$(dirname "$0")/.." && pwd)"
absolute() { case "$1" in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
selvane="$(absolute "${SELVANE:-$root/build/release/selvane}")"
tools="$(absolute "${BENCH_TOOLS:-$root/build/bench}")"
scratch="$(absolute "${BENCH_SCRATCH:-$root/build/bench}")"

# stats VALUE...: prints "median min max".
stats() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
    END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; print m, v[1], v[NR] }'
}

# mib BYTES: in MiB, one decimal.
mib() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1048576 }'; }
