#!/usr/bin/env bash
# Runs every benchmark program the build made, reporting medians over repetitions.
set -euo pipefail
build=$1
found=0
for bench in "$build"/bench/*_bench; do
    [[ -x "$bench" ]] || continue
    found=1
    (cd "$build/run" && "$OLDPWD/$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
done
[[ $found -eq 1 ]] || { echo "no benchmarks were built" >&2; exit 1; }
# tonspire's start: time until its dialog shows, memory, no OpenGL.
tests/setup/tonspire_bench.sh "$build/run/tonspire" "$build/tests/x_probe"
