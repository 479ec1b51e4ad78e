#!/usr/bin/env bash
# The world service's figures on this machine, on SQLite and on PostgreSQL: time to 202 with 20
# clients, /health while every worker verifies, verification throughput, and how soon a genuine
# game of ten minutes' play is on an idle server's table.
#   scripts/bench-world.sh BUILD     a build folder configured with -DQUELVANE_BENCH=ON
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD}" && pwd)
driver="$build/bench/world_load"
search="$build/bench/long_game"
replay="$build/run/quelvane-replay"
for program in "$driver" "$search" "$replay"; do
    [[ -x "$program" ]] || { echo "no $program: is the build configured with -DQUELVANE_BENCH=ON?" >&2; exit 1; }
done

# The long game's keys are searched for once per rules version (that takes minutes) and kept in
# the build folder; the game is recorded from them by quelvane-replay and must verify.
cache="$build/bench/long-game"
mkdir -p "$cache"
found=$(nice "$search" --folder "$cache")
seed=$(sed -n 's/^seed=//p' <<<"$found")
frames=$(sed -n 's/^frames=//p' <<<"$found")
keys=$(sed -n 's/^keys=//p' <<<"$found")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'Software Synthesizer' >"$work/MidiDevice.ini"
(cd "$work" && "$replay" --frames "$frames" --seed "$seed" --keys "$keys" --record kept)
long=$(find "$work/kept" -name '*.qvr' ! -name last.qvr | head -n 1)
[[ -n "$long" ]] || { echo "the long game did not enter the score table" >&2; exit 1; }
verdict=$("$replay" --verify "$long") || { echo "the long game does not verify: $verdict" >&2; exit 1; }
echo "long game: $frames frames with seed $seed, $(tr '\n' ' ' <<<"$verdict")"

for store in sqlite postgres; do
    "$driver" "$store" "$long"
done
