# shellcheck shell=bash
# shellcheck disable=SC2154 # $repo and $name are set by the caller
# Sourced by the browser build's tests. The caller sets $repo and $name (what its lines start
# with) before sourcing.
#   fail REASON                a failed test
#   build_or_skip SCRIPT ARGS  runs one of scripts/web (its output kept), and ends the test as
#                              skipped (77) when Emscripten is neither installed nor installable

fail() {
    echo "$name: FAILED: $*"
    exit 1
}

build_or_skip() {
    local script=$1 status=0
    shift
    "$repo/scripts/web/$script" "$@" || status=$?
    if [[ $status -eq 3 ]]; then
        echo "$name: SKIPPED: Emscripten is not installed and cannot be installed here"
        exit 77
    fi
    [[ $status -eq 0 ]] || fail "scripts/web/$script exited with $status"
}
