#!/usr/bin/env bash
# The world service's figures on this machine, on SQLite and on PostgreSQL: time to 202 with 20
# clients, /health while every worker verifies, verification throughput, and how soon the longest
# genuine game is on the table.
#   scripts/bench-world.sh BUILD     a build folder configured with -DQUELVANE_BENCH=ON
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD}" && pwd)
driver="$build/bench/world_load"
[[ -x "$driver" ]] || { echo "no world_load in $build/bench: is quelvane-world built?" >&2; exit 1; }
for store in sqlite postgres; do
    "$driver" "$store"
done
