#!/usr/bin/env bash
# A name typed on a French (AZERTY) keyboard is stored as the letters on its keys, and the US
# keyboard stores the same name as it always did. Each run plays a real game on a bare X server set
# to the layout, holds Ctrl to fire until the ship is lost, types the name with xdotool at the
# high-score prompt and reads the bytes of scores.dat.
# Usage: layout_typing.sh QUELVANE X_PROBE RUN_DIR
set -euo pipefail
game=$(realpath -m "$1")
x_probe=$(realpath -m "$2")
run_dir=$(realpath -m "$3")
name="Zoe Quang"

source "$(dirname "$0")/bare_x.sh"
bare_x_setup layout-typing "$run_dir"

# The prompt is yellow text on black: a few hundred colours, where play and the game-over screen
# over the star field have well over six hundred.
wait_for_prompt() {
    local colours
    for _ in $(seq 1 150); do
        sleep 1
        kill -0 "$pid" 2>/dev/null || fail "$1: the game ended: $(cat "$work/stderr")"
        colours=$("$x_probe" capture root "$work/screen.bmp") || fail "$1: the screen cannot be captured"
        ((colours < 400)) && return 0
    done
    fail "$1: no high-score prompt within 150 s (the screen last had $colours colours)"
}

scenario() {
    local layout=$1
    rm -f "$work/run/scores.dat"
    bare_x_start 640x480 30
    setxkbmap -layout "$layout"
    (cd "$work/run" && exec "$game" 2>"$work/stderr") &
    pid=$!
    "$x_probe" window Quelvane! 30 >/dev/null || fail "$layout: the game's window did not appear"
    # Past the title screen's guard against early keys; then fire all game long to score.
    sleep 1
    xdotool key g
    sleep 0.5
    xdotool keydown Control_L
    wait_for_prompt "$layout"
    xdotool keyup Control_L
    sleep 0.3
    xdotool type --delay 60 "$name"
    xdotool key Return
    for _ in $(seq 1 50); do
        [[ -s "$work/run/scores.dat" ]] && break
        sleep 0.2
    done
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
    kill -KILL "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    xvfb=
    [[ -s "$work/run/scores.dat" ]] || fail "$layout: no scores.dat after the name was entered"
    local first
    first=$(head -n 1 "$work/run/scores.dat" | od -An -c | tr -s ' ')
    cmp -s <(head -c $((${#name} + 2)) "$work/run/scores.dat") <(printf '%s\r\n' "$name") ||
        fail "$layout: the first name line is$first, not \"$name\" and CR LF"
    echo "$layout: the first name line is \"$name\" and CR LF"
}

scenario fr
scenario us
echo "layout typing: the same name on both layouts"
