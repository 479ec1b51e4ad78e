#!/usr/bin/env bash
# The same game in both builds: runs the golden game (20,000 frames, its seed, tick start and
# keys) in quelvane-replay natively and, built by Emscripten as the page is, under node, each
# logging every call of atan, sin and cos with its argument and result (tests/web/libm). The
# calls, the end state, the trace and the pictures must all be the same.
#
#   tests/web/libm-check.sh BUILD NATIVE_REPLAY GOLDEN
#
# Exit status: 0 the same; 77 skipped, Emscripten being neither installed nor installable here;
# 1 they differ or a step failed.
set -euo pipefail

[[ $# -eq 3 ]] || { echo "usage: $0 BUILD NATIVE_REPLAY GOLDEN" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=$(realpath "$1")
native=$(realpath "$2")
golden=$(realpath "$3")

name="web libm"
# shellcheck source=tests/web/web-test.sh
source "$here/web-test.sh"

build_or_skip build.sh "$build"
# shellcheck source=scripts/web/emenv.sh
source "$repo/scripts/web/emenv.sh"
cmake --build "$build/web-obj" --target quelvane-replay-node -j "${WEB_DEPS_JOBS:-2}" \
    >"$build/web-replay-build.log" 2>&1 || { tail -n 20 "$build/web-replay-build.log"; fail "building the replay for node"; }

work=$(mktemp -d "${TMPDIR:-/tmp}/quelvane-libm.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The golden replay's captured frames: every line of its frames.txt but the trace's.
mapfile -t frames < <(awk '$1 != "trace" { print $1 }' "$golden/frames.txt")
[[ ${#frames[@]} -gt 0 ]] || fail "no frames in $golden/frames.txt"
run() {
    local dir=$work/$1; shift
    mkdir -p "$dir"
    printf 'Software Synthesizer' >"$dir/MidiDevice.ini"
    local captures=()
    # Copies: node's view of the folder cannot follow links out of it.
    cp "$build"/run/*.bmp "$build"/run/*.wav "$build"/run/*.mid "$golden/keys.txt" "$dir/"
    for f in "${frames[@]}"; do captures+=(--capture "$f:frame-$f.bmp"); done
    (cd "$dir" && "$@" --frames 20000 --seed 20261208 --tick-start 4294960000 \
        --keys keys.txt "${captures[@]}" --state --trace trace.tsv >state.txt 2>run.log) ||
        { cat "$dir/run.log"; fail "$1 did not finish the golden game"; }
}
run desktop "$native"
run browser "${WEB_NODE[@]}" "$build/web-obj/quelvane-replay-node.js"

calls=$(wc -l <"$work/desktop/libm-calls.txt")
[[ $calls -gt 0 ]] || fail "the desktop's replay logged no call: the logging is not wired in"
echo "web libm: $calls calls natively ($(cut -d' ' -f1 "$work/desktop/libm-calls.txt" | sort | uniq -c | xargs))," \
     "$(wc -l <"$work/browser/libm-calls.txt") in the browser build"
# Argument by argument: a result that differs only where the arguments agree is the C libraries'.
differing=$(paste -d' ' "$work/desktop/libm-calls.txt" "$work/browser/libm-calls.txt" |
    awk '$1 == $4 && $2 == $5 && $3 != $6' | wc -l)
echo "web libm: $differing results differ for the same argument"
cmp -s "$work/desktop/libm-calls.txt" "$work/browser/libm-calls.txt" ||
    { diff "$work/desktop/libm-calls.txt" "$work/browser/libm-calls.txt" | head -n 10; fail "the calls differ"; }
cmp -s "$work/desktop/state.txt" "$work/browser/state.txt" || fail "the end states differ"
cmp -s "$work/desktop/trace.tsv" "$work/browser/trace.tsv" || fail "the traces differ"
for f in "${frames[@]}"; do
    cmp -s "$work/desktop/frame-$f.bmp" "$work/browser/frame-$f.bmp" || fail "frame $f differs"
done
echo "web libm: ok, the same calls, results, trace, end state and ${#frames[@]} pictures in both builds"
