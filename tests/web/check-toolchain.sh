#!/usr/bin/env bash
# The browser toolchain end to end: builds SDL2 and FreeType for the browser if needed
# (scripts/web/build-deps.sh), builds tests/web/probe with emcmake against them, runs it under node
# and, given the same probe built natively, holds the two outputs against each other.
#
#   tests/web/check-toolchain.sh WORK [NATIVE_PROBE]
#
# WEB_DEPS_DIR picks the deps' cache (default build/web-deps, shared by every build tree).
# Exit status: 0 passed; 77 skipped, Emscripten being neither installed nor installable here;
# 1 failed.
set -euo pipefail

[[ $# -ge 1 && $# -le 2 ]] || { echo "usage: $0 WORK [NATIVE_PROBE]" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
work=$(realpath -m "$1")
native=${2:+$(realpath -m "$2")}
deps=$(realpath -m "${WEB_DEPS_DIR:-$repo/build/web-deps}")
font=/usr/share/fonts/truetype/liberation2/LiberationMono-Bold.ttf

name="web toolchain"
# shellcheck source=tests/web/web-test.sh
source "$here/web-test.sh"
# emcc's output under node reports errors with its whole minified source as the "line": keep
# what is printed readable.
show() { cut -c1-300 "$1" | grep -v '^| ' | tail -n 40; }

build_or_skip build-deps.sh "$deps"

# shellcheck source=scripts/web/emenv.sh
source "$repo/scripts/web/emenv.sh"
[[ -f $font ]] || fail "$font is missing (Debian's fonts-liberation2, in scripts/packages.txt)"

mkdir -p "$work"
emcmake cmake -S "$here/probe" -B "$work/probe" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_FIND_ROOT_PATH="$deps/prefix" -DPROBE_FONT="$font" >"$work/configure.log" 2>&1 ||
    { show "$work/configure.log"; fail "configuring the probe"; }
cmake --build "$work/probe" -j "${WEB_DEPS_JOBS:-2}" >"$work/build.log" 2>&1 ||
    { show "$work/build.log"; fail "building the probe"; }

browser=$work/browser.txt
(cd "$work/probe" && "${WEB_NODE[@]}" probe.js /fonts/probe.ttf) >"$browser" 2>&1 ||
    { show "$browser"; fail "the probe under node"; }
show "$browser"
grep -qx "probe: ok, [0-9]* checks" "$browser" || fail "the probe under node did not end in probe: ok"
grep -qx "emscripten: $(web_emcc_version)" "$browser" || fail "the probe was not built by this emcc"

if [[ -n $native ]]; then
    desktop=$work/desktop.txt
    SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$native" "$font" >"$desktop" 2>&1 ||
        { show "$desktop"; fail "the native probe"; }
    # The font's rendering, its way through SDL's surfaces and the game's geometry: bit for bit.
    same='^(face|glyph|window|geometry): |^\| '
    if ! diff <(grep -E "$same" "$desktop") <(grep -E "$same" "$browser") >"$work/diff.txt"; then
        cat "$work/diff.txt"
        fail "the browser build renders or computes differently from the desktop build"
    fi
    echo "desktop $(grep '^libm: ' "$desktop")"
    echo "browser $(grep '^libm: ' "$browser")"
    echo "web toolchain: ok, the browser build's glyph, window and geometry match the desktop's"
else
    echo "web toolchain: ok"
fi
