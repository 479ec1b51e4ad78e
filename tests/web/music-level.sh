#!/usr/bin/env bash
# The game's music on the page's synthesizer: builds the page (scripts/web/build.sh, cached), then
# renders the two pieces offline with the page's own copies of its synthesizer and SoundFont
# (tests/web/music/level.mjs), measured as the desktop's are.
#
#   tests/web/music-level.sh BUILD
#
# Exit status: 0 passed; 77 skipped, Emscripten being neither installed nor installable here; else
# failed.
set -euo pipefail

[[ $# -eq 1 ]] || { echo "usage: $0 BUILD" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=$(realpath "$1")

name="page's music level"
# shellcheck source=tests/web/web-test.sh
source "$here/web-test.sh"

build_or_skip build.sh "$build"
node "$here/music/level.mjs" "$build/web" "$build/run" || fail "a piece left its level"
