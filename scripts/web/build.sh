#!/usr/bin/env bash
# Builds the game for a browser into BUILD/web (`make web`):
#
#   scripts/web/build.sh [BUILD]          BUILD defaults to build, the native build's folder
#
# BUILD/web then holds index.html, quelvane.js, quelvane.wasm, quelvane.data, the page's scripts,
# its synthesizer and the SoundFont: serve the folder (python3 -m http.server -d BUILD/web).
# Every step is cached and redone only when its inputs change: the native assets (the native
# build's `assets` target), SDL2 and FreeType for the browser (scripts/web/build-deps.sh, in
# WEB_DEPS_DIR, by default build/web-deps), the npm packages (BUILD/web-node) and the game
# (BUILD/web-obj), so a second run takes seconds.
#
# Exit status: 0 built; 3 Emscripten is missing and cannot be installed here; else a failure.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=$(realpath -m "${1:-$repo/build}")
deps=$(realpath -m "${WEB_DEPS_DIR:-$repo/build/web-deps}")
jobs=${WEB_DEPS_JOBS:-2}

log() { printf 'web: %s\n' "$*"; }
die() { printf 'web: %s\n' "$1" >&2; exit "${2:-1}"; }

# shellcheck source=scripts/web/emenv.sh
source "$here/emenv.sh"
# shellcheck source=scripts/web/packages.sh
source "$here/packages.sh"

# The assets are made natively, by the desktop build's generator.
[[ -f $build/CMakeCache.txt ]] || die "$build is not a configured native build (make configure)"
cmake --build "$build" --target assets -j "$jobs" >/dev/null || die "building the native assets failed"

status=0
"$here/build-deps.sh" "$deps" || status=$?
[[ $status -eq 0 ]] || exit "$status"

# js-synthesizer for the page (and playwright-core for the browser test), exactly as locked.
command -v npm >/dev/null || ensure_packages npm || die "npm is missing and cannot be installed"
# npm reaches its registry over HTTPS, and apt without recommends leaves a bare Debian no CA store.
ensure_packages ca-certificates || die "ca-certificates is missing and cannot be installed"
node_dir=$build/web-node
if ! cmp -s "$repo/web/package-lock.json" "$node_dir/package-lock.json" ||
    [[ ! -d $node_dir/node_modules/js-synthesizer ]]; then
    log "installing the npm packages of web/package.json"
    mkdir -p "$node_dir"
    cp "$repo/web/package.json" "$repo/web/package-lock.json" "$node_dir/"
    (cd "$node_dir" && npm ci --no-audit --no-fund --loglevel=error >/dev/null) ||
        die "npm ci in $node_dir failed"
fi

obj=$build/web-obj
if [[ ! -f $obj/build.ninja ]]; then
    log "configuring the browser build in $obj"
    emcmake cmake -S "$repo" -B "$obj" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_FIND_ROOT_PATH="$deps/prefix" -DQUELVANE_WEB_ASSETS="$build/run" \
        -DQUELVANE_WEB_NODE="$node_dir/node_modules" -DQUELVANE_WEB_OUT="$build/web" \
        >"$build/web-configure.log" 2>&1 || {
        tail -n 30 "$build/web-configure.log" >&2; die "configuring the browser build failed"
    }
fi
cmake --build "$obj" -j "$jobs" >"$build/web-build.log" 2>&1 || {
    grep -v '^| ' "$build/web-build.log" | cut -c1-300 | tail -n 40 >&2
    die "the browser build failed (all of it in $build/web-build.log)"
}
log "built $build/web ($(du -sh "$build/web" | cut -f1)); serve it with: python3 -m http.server -d $build/web"
