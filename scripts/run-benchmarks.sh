#!/usr/bin/env bash
# Runs every benchmark program the build made, reporting medians over repetitions.
#   scripts/run-benchmarks.sh BUILD     a build folder configured with -DQUELVANE_BENCH=ON
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: $0 BUILD}" && pwd)
found=0
for bench in "$build"/bench/*_bench; do
    [[ -x "$bench" ]] || continue
    found=1
    (cd "$build/run" && "$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
done
[[ $found -eq 1 ]] || { echo "no benchmarks were built in $build" >&2; exit 1; }
# tonspire's start: time until its dialog shows, memory, no OpenGL.
"$top/tests/setup/tonspire_bench.sh" "$build/run/tonspire" "$build/tests/x_probe"
