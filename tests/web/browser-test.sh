#!/usr/bin/env bash
# The game in a real browser: builds the page (scripts/web/build.sh, cached), then drives it in
# Debian's Chromium, headless, through playwright-core (tests/web/browser/SUITE.test.mjs).
#
#   tests/web/browser-test.sh BUILD REPLAY [SUITE]
#
# BUILD: the native build whose assets the page packs (the page goes to BUILD/web); REPLAY: its
# quelvane-replay, for the native frames. SUITE: game (the default), the game played; or world,
# the world table on the page served by quelvane-world, which takes WORLD and GENUINE from the
# environment (see browser/world.test.mjs). Exit status: 0 passed; 77 skipped, Emscripten being
# neither installed nor installable here; else failed.
set -euo pipefail

[[ $# -eq 2 || $# -eq 3 ]] || { echo "usage: $0 BUILD REPLAY [SUITE]" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=$(realpath "$1")
replay=$(realpath "$2")
suite=${3:-game}
[[ -f $here/browser/$suite.test.mjs ]] || { echo "$0: no suite $suite" >&2; exit 2; }

name="web $suite"
log() { printf '%s: %s\n' "$name" "$*"; }
# shellcheck source=tests/web/web-test.sh
source "$here/web-test.sh"
# shellcheck source=scripts/web/packages.sh
source "$repo/scripts/web/packages.sh"

start=$SECONDS
build_or_skip build.sh "$build"
log "the page built or found up to date in $((SECONDS - start)) s"
ensure_packages chromium || fail "Debian's chromium is missing and cannot be installed"

work=$(mktemp -d "${TMPDIR:-/tmp}/quelvane-web.XXXXXX")
# The canvas's pictures stay in the build folder, to be looked at, whatever the outcome; those of
# an earlier run go first, so that none is taken for this run's.
captures=$build/captures/web
[[ $suite == game ]] || captures+=-$suite
rm -rf "$captures"
keep_captures() {
    mkdir -p "$captures" &&
        find "$work" -maxdepth 2 -name '*-page.png' -exec cp {} "$captures/" \; || true
    rm -rf "$work"
}
trap keep_captures EXIT
WEB_DIR=$build/web WEB_MODULES=$build/web-node/node_modules REPLAY=$replay WORK=$work \
    node --test --test-reporter=tap "$here/browser/$suite.test.mjs" || fail "the browser test"
log "passed in $((SECONDS - start)) s"
