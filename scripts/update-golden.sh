#!/usr/bin/env bash
# Rewrites the golden replay's expected state and pictures from the game as it is built now. Run it
# only in the commit that changes how the game plays, and say in that commit's message why.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
cmake --build "$build" --target quelvane-replay assets
cmake -DREPLAY="$build/run/quelvane-replay" -DWORK="$build/captures/golden" \
      -DGOLDEN="$top/tests/loop/golden" -DUPDATE=ON -P "$top/tests/loop/GoldenReplay.cmake"
git -C "$top" diff --stat -- tests/loop/golden
# The replays kept in the repository carry the rules version, which follows the golden record.
"$top/scripts/update-replays.sh" "$build"
