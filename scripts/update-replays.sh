#!/usr/bin/env bash
# Records the replays kept in the repository again with the game as it is built now, from the
# golden keys: its two games (the one that enters the score table, the one quit after a score page)
# for the replay reader's corpus, and with the run cut after 600 and 1000 frames, the short games
# of the verifier's fuzz corpus. They carry the rules version, which follows the golden replay's
# record: run this after update-golden.sh has changed it.
#   scripts/update-replays.sh [BUILD]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
cmake --build "$build" --target quelvane-replay assets
work=$(mktemp -d "${TMPDIR:-/tmp}/quelvane-replays.XXXXXX")
trap 'rm -rf "$work"' EXIT
printf 'Software Synthesizer' >"$work/MidiDevice.ini"
# The golden keys' run cut after FRAMES frames, its games recorded into the folder DIR.
record() {
    (cd "$work" && "$build/run/quelvane-replay" --frames "$1" --seed 20261208 \
        --tick-start 4294960000 --keys "$top/tests/loop/golden/keys.txt" --record "$2")
}
record 20000 whole
kept=("$work"/whole/2*.qvr)
[[ ${#kept[@]} -eq 1 ]] || { echo "one game was to enter the table, ${#kept[@]} did" >&2; exit 1; }
replays=$top/tests/replay/corpus/replay
play=$top/tests/replay/corpus/play
cp "${kept[0]}" "$replays/high-score.qvr"
cp "$work/whole/last.qvr" "$replays/quit-in-play.qvr"
cp "$work/whole/last.qvr" "$play/quit-in-play.qvr"
for frames in 600 1000; do
    record "$frames" "cut-$frames"
    cp "$work/cut-$frames/last.qvr" "$play/cut-$frames.qvr"
done
git -C "$top" status --short -- tests/replay/corpus
