#!/usr/bin/env bash
# Ends the X server under the running game, as a logged-out session, a crashed server or a dropped
# forwarded display would: on the title screen, in play, on the help and score pages and while
# paused. Each time the game must end by itself within a few seconds, with status 1 and one line on
# standard error, having written nothing to the display it lost.
# Usage: display_lost.sh QUELVANE X_PROBE RUN_DIR
set -euo pipefail
game=$(realpath -m "$1")
x_probe=$(realpath -m "$2")
run_dir=$(realpath -m "$3")
# What the game is given to end: far above the second it needs, well below the test's timeout.
allowed=5

source "$(dirname "$0")/bare_x.sh"
bare_x_setup display-lost "$run_dir"

# One run: a new X server with no window manager, the game on it, the keys (xdotool names, "pause"
# to take the keyboard focus away), then the server killed as a crash would.
scenario() {
    local name=$1
    shift
    bare_x_start 1024x768 30

    local watcher line
    exec {watcher}< <(exec "$x_probe" window Quelvane! 30)
    { read -r -u "$watcher" line && [[ $line == ready ]]; } || fail "$name: x_probe could not listen"
    local ended
    # The game is the process whose id is read, so that a game that never ends is killed.
    exec {ended}< <(cd "$work/run" && exec "$game" 2>"$work/stderr" &
        echo "$!"
        status=0
        wait "$!" || status=$?
        echo "$status")
    read -r -u "$ended" pid
    read -r -u "$watcher" line || fail "$name: the game's window did not appear"
    exec {watcher}<&-
    # Past the title screen's guard against early keys.
    sleep 1
    for key in "$@"; do
        if [[ $key == pause ]]; then
            xdotool windowfocus "$(xwininfo -root | awk '/Window id:/ {print $4}')"
        else
            xdotool key "$key"
        fi
        sleep 0.5
    done
    kill -0 "$pid" 2>/dev/null || fail "$name: the game ended before its display did: $(cat "$work/stderr")"

    local start=$EPOCHREALTIME status=
    kill -KILL "$xvfb"
    wait "$xvfb" 2>/dev/null || true
    xvfb=
    if ! read -r -t "$allowed" -u "$ended" status; then
        fail "$name: the game still ran $allowed s after its display ended"
    fi
    exec {ended}<&-
    pid=
    local took
    took=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }')
    [[ $status -eq 1 ]] || fail "$name: the game ended with status $status: $(cat "$work/stderr")"
    [[ $(wc -l <"$work/stderr") -eq 1 ]] || fail "$name: not one line on standard error: $(cat "$work/stderr")"
    grep -q "display" "$work/stderr" || fail "$name: the message does not name the display: $(cat "$work/stderr")"
    echo "$name: ended in $took s, status $status: $(cat "$work/stderr")"
}

scenario title
scenario play g
scenario help F1
scenario scores F2
scenario paused g pause
echo "display lost: the game ended every time"
