# Sourced by the tests that run the real game on bare X servers (no window manager): a scratch
# folder with the game's files, a server of a given size, and the clean-up of both.
#   bare_x_setup NAME RUN_DIR   makes $work (removed on exit) and $work/run, where the game works
#                               with links to the built assets and a MIDI device chosen
#   bare_x_start SIZE TIMEOUT [ARG...]
#                               starts Xvfb on the screen size (WxH) with any further arguments,
#                               sets $xvfb and DISPLAY
# The caller keeps the game's process id in $pid, so that the clean-up kills a game left running.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

bare_x_cleanup() {
    if [[ -n "$pid" ]]; then kill -KILL "$pid" 2>/dev/null || true; fi
    if [[ -n "$xvfb" ]]; then kill -KILL "$xvfb" 2>/dev/null || true; fi
    rm -rf "$work"
}

bare_x_setup() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/$1-XXXXXX")
    xvfb=
    pid=
    trap bare_x_cleanup EXIT
    mkdir "$work/run"
    for asset in "$2"/*.bmp "$2"/*.wav "$2"/*.mid; do
        ln -s "$asset" "$work/run/"
    done
    printf 'Software Synthesizer' >"$work/run/MidiDevice.ini"
    export SDL_AUDIODRIVER=dummy
}

bare_x_start() {
    local fd display
    exec {fd}<> <(:)
    Xvfb -displayfd "$fd" -screen 0 "$1x24" -nolisten tcp -noreset "${@:3}" >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    read -r -t "$2" -u "$fd" display || fail "Xvfb did not start at $1"
    exec {fd}>&-
    export DISPLAY=:$display
}
