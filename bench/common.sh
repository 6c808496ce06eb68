# Sourced by the benchmark scripts: strict shell, the C locale, and the programs and folders
# they use, from the environment (SELVANE, BENCH_TOOLS, BENCH_SCRATCH) or beside the checkout.
set -euo pipefail
export LC_ALL=C

root="$(cd "$(dirname "$0")/.." && pwd)"
absolute() { case "$1" in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
selvane="$(absolute "${SELVANE:-$root/build/release/selvane}")"
tools="$(absolute "${BENCH_TOOLS:-$root/build/bench}")"
scratch="$(absolute "${BENCH_SCRATCH:-$root/build/bench}")"
